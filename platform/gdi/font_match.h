// Finding an installed font file for a LOGFONTA through fontconfig.
#pragma once

#include <windows.h>

#include <string>

namespace qpm {

struct FaceFile {
    std::string path;
    int index = 0;        // face index inside the file
    std::string family;   // what GetTextFaceA reports
    bool bold = false;    // the face itself is bold / italic; when the
    bool italic = false;  // request asks for more, glyphs are synthesized
};

// The best installed scalable face for a face name (fontconfig's
// substitutions apply: "Arial" finds a metric-compatible face; an empty
// or unknown name finds the default sans-serif face), weight and slant.
// Answers are cached per (name, weight, italic, pitch and family).
// False when fontconfig finds nothing at all.
bool MatchFace(const LOGFONTA& log, FaceFile* out);

}  // namespace qpm
