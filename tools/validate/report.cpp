#include "report.h"

namespace validate {

void Report::line(Outcome outcome, std::string_view subject, std::string_view check, std::string_view detail)
{
    const char* label = "PASS";
    if (outcome == Outcome::fail) {
        label = "FAIL";
        ++failed;
    } else if (outcome == Outcome::skip) {
        label = "SKIP";
        ++skipped;
    } else {
        ++passed;
    }
    std::fprintf(out, "%s  %-17.*s %-28.*s %.*s\n", label, static_cast<int>(subject.size()), subject.data(),
                 static_cast<int>(check.size()), check.data(), static_cast<int>(detail.size()), detail.data());
    std::fflush(out);  // a crash in the next check must not swallow this line
}

void Report::note(std::string_view text)
{
    std::fprintf(out, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(out);
}

}  // namespace validate
