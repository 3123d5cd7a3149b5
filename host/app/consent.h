// Answers to a component's modal question (MessageBoxA): asked on the
// terminal, or given on the command line for scripts.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>

#include "app/options.h"

// Shows caption and text in full on `out` with the buttons the box type
// offers ("[Y]es/[N]o/[C]ancel" for MB_YESNOCANCEL, ...), reads answers
// from `in` until one fits, and returns its IDYES/IDNO/IDCANCEL/IDOK...
// At the end of the input: IDCANCEL when the box has Cancel, else 0.
int AskOnTerminal(FILE* in, FILE* out, const char* text, const char* caption, UINT type);

// The answer --yes or --no gives for a box of that type (0 for kAsk).
int AnswerForFlag(ConsentAnswer answer, UINT type);

// Installs the handler that answers MessageBoxA for the whole process:
// the flag's answer, else a question on /dev/tty (with `suspend` and
// `resume` run around it, so a live display can give the terminal
// back), else 0: no terminal and no flag means the question fails.
void InstallConsentHandler(ConsentAnswer answer, std::function<void()> suspend,
                           std::function<void()> resume);
