#pragma once
// The service's debug trace: one line per call, "[<service name>](<thread
// id>): " followed by the formatted message and a line break, cut to fit
// 1,024 bytes.

#include <cstdarg>

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceV(const char* format, std::va_list arguments) __attribute__((format(printf, 1, 0)));
