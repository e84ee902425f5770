// The validator's output: one line per subject and check as soon as it is known, then
// a summary. Any failure makes the run fail.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace validate {

enum class Outcome { pass, fail, skip };

class Report {
public:
    explicit Report(std::FILE* output) : out(output) {}

    void line(Outcome outcome, std::string_view subject, std::string_view check, std::string_view detail);
    void pass(std::string_view subject, std::string_view check, std::string_view detail = {})
    {
        line(Outcome::pass, subject, check, detail);
    }
    void fail(std::string_view subject, std::string_view check, std::string_view detail)
    {
        line(Outcome::fail, subject, check, detail);
    }
    // Passes or fails on `problem`: empty means the check passed with `detail`.
    void verdict(std::string_view subject, std::string_view check, const std::string& problem,
                 std::string_view detail = {})
    {
        problem.empty() ? pass(subject, check, detail) : fail(subject, check, problem);
    }
    void note(std::string_view text);

    int failures() const { return failed; }
    int passes() const { return passed; }
    int skips() const { return skipped; }

private:
    std::FILE* out;
    int passed = 0;
    int failed = 0;
    int skipped = 0;
};

}  // namespace validate
