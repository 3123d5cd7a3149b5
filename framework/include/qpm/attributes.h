// Reading a component's attributes by name.
//
// Two forms: the direct form, one name/value pair per attribute; and the
// packed form of an alternate host, where only "TYPE", "SUBTYPE" and
// "DATAFILE" are pairs and every other attribute is an entry of the
// "SUBTYPE" value: NAME=value entries separated by commas, with '%'
// escapes in values ("%%", "%41", "%," for a comma that does not end it).
#pragma once

#include <qpm/records.h>

#include <cstdint>

// 1 when the attribute exists; its value, cut to size - 1 bytes, is then
// in `buffer` with a NUL. The buffer is untouched on 0 and may be null
// (existence only).
int32_t GetAttribute(const InstanceRecord* record, const char* name, char* buffer, int32_t size);

// 1 when the attribute exists and is not empty; its decimal value goes to *out.
int32_t GetIntAttribute(const InstanceRecord* record, const char* name, int32_t* out);

// 1 when the attribute exists and is empty, "true", "1", "yes" or "y" (any case).
int32_t GetBoolAttribute(const InstanceRecord* record, const char* name);

// A look-up view of a creation record, before any window exists: the
// record's fields copied into `view`, altHost set from the mark.
void ViewInitRecord(InstanceRecord* view, const InitRecord* record);

// Converts an alternate host's fixed-layout record into an InitRecord
// whose attributes ("TYPE", "SUBTYPE", "DATAFILE", each only when not
// empty) point into `alt`, whose strings must be NUL-terminated within
// their 512 bytes. `names` and `values` hold 4 entries each and must
// outlive `out`. Every field of `out` is set: `typeName` null and
// `fixedSize` 0, for the caller to change.
int32_t ConvertAltInitRecord(AltInitRecord* alt, InitRecord* out, char** names, char** values);

// The packed-form look-up on its own: finds `name` in `list` (a "SUBTYPE"
// value) and decodes its value as GetAttribute does. Never reads past the
// list's NUL nor writes more than `size` bytes.
int32_t FindPackedAttribute(const char* list, const char* name, char* buffer, int32_t size);

// Decimal conversion as the integer look-up does it: leading white space,
// an optional sign, digits up to the first non-digit; no digits give 0.
int32_t ParseDecimal(const char* text);
