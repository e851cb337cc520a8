#include "core/report.h"

#include <cstdarg>
#include <cstdio>

namespace {
ReportLog* currentLog = nullptr;

void print(const Report& record)
{
    const std::string text = reportText(record);
    // A problem worked round is a diagnostic, not part of the game's narration.
    if (record.severity == Severity::Error || record.severity == Severity::Warning) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return;
    }
    std::printf("%s\n", text.c_str());
    if (record.severity != Severity::Trace) std::fflush(stdout);
}
}  // namespace

std::string reportText(const Report& record)
{
    std::string text;
    if (!record.file.empty()) text = record.file + ": ";
    if (!record.where.empty()) text += record.where + ": ";
    return text + record.what;
}

std::string formatted(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(size > 0 ? size_t(size) : 0, '\0');
    if (size > 0) std::vsnprintf(&text[0], text.size() + 1, format, again);
    va_end(again);
    return text;
}

void report(const Report& record)
{
    if (currentLog) {
        currentLog->records.push_back(record);
        return;
    }
    print(record);
}

void sayLine(const std::string& line) { report({"", "", line, Severity::Note}); }

ReportLog::ReportLog() : previous(currentLog) { currentLog = this; }

ReportLog::~ReportLog() { currentLog = previous; }
