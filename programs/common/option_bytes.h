#pragma once
// An option's value as the bytes the system passed, for values that name files: Qt decodes the
// command line as UTF-8 and replaces bytes that are not, which would change such a name.

#include <QString>

#include <string>

namespace tivenor::cli {

// The bytes of `value`, the value Qt parsed for the option --`longName`, found again in argv.
std::string OptionBytes(const QString& value, const char* longName, int argc, char** argv);

}  // namespace tivenor::cli
