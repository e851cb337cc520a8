// The one path every loader, entity and script binding reports through. A
// report is a record; the game prints each one as a line, while the content
// checker and the tests take the records themselves and print nothing.
#pragma once

#include <string>
#include <vector>

enum class Severity {
    Trace,    // what happens in play or at start-up; printed on standard output as it comes
    Note,     // the same, flushed at once
    Warning,  // a problem the game works round; printed on standard error
    Missing,  // a data file that could not be opened; flushed at once
    Error,    // printed on standard error
};

struct Report {
    std::string file;   // the data file it is about; empty when none
    std::string where;  // the element, row or block in that file; may be empty
    std::string what;
    Severity severity = Severity::Note;
};

// "file: where: what", leaving out the parts that are empty: the line the game prints.
std::string reportText(const Report& record);
// printf's formatting into a string, for records that are written as the game always wrote them.
std::string formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
void report(const Report& record);
void sayLine(const std::string& line);  // a Note: one line on standard output, flushed at once

// While one exists, every record goes to the newest one instead of being
// printed; the one it replaced gets the records again once it is gone.
class ReportLog {
public:
    ReportLog();
    ~ReportLog();
    ReportLog(const ReportLog&) = delete;
    ReportLog& operator=(const ReportLog&) = delete;

    std::vector<Report> records;  // in the order they were reported

private:
    ReportLog* previous;
};
