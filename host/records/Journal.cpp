#include "host/Journal.h"

#include <utility>

namespace {

// The journals whose structures the bundled data comes from, and a few more.
const std::pair<int, const char*> journals[] = {
    {1, "Acta Crystallographica Section B"},
    {2, "Acta Crystallographica Section C"},
    {3, "Acta Crystallographica Section E"},
    {4, "Journal of the American Chemical Society"},
    {5, "Inorganic Chemistry"},
    {6, "Zeitschrift fuer Kristallographie"},
    {7, "American Mineralogist"},
    {8, "Journal of Chemical Crystallography"},
    {9, "Dalton Transactions"},
    {10, "CrystEngComm"},
};

}  // namespace

Journal::Journal(int code) : code_(code) {
    for (const auto& [known, name] : journals) {
        if (known == code) full_name_ = name;
    }
}

Journal::Journal(int code, const std::string& full_name) : Journal(code) {
    if (!full_name.empty()) full_name_ = full_name;
}
