#pragma once

#include <string>
#include <string_view>

// The GS1 check of bracketed element strings "[AI]data[AI]data...": syntax, the application identifiers this
// program knows, their fixed data lengths, and the reduced string the GS1-128 encoder reads, in which "[" marks FNC1.
namespace GS1ElementString {

struct Result {
    std::string reduced; // empty after an error
    // One of the "GS1..." keys of the "BarcodeStrings" table, empty when the content is valid.
    std::string errorKey;
    // "(01)", for the two errors that name the offending identifier.
    std::string aiText;
    bool ok() const { return errorKey.empty(); }
};

// `cleaned` is the content after the usual cleaning; parentheses stand for brackets when it has no "[" (unless the
// content came pre-validated, which is taken as it is).
Result check(std::string cleaned, bool preValidated = false);

}
