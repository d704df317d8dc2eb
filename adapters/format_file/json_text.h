#pragma once
// A format file's text to JSON: a syntax error says its line and column, a field given twice and
// nesting deeper than any format needs are refused. Comments (// and /* */) are allowed, so that
// a collector can say where a measurement came from.

#include <string_view>

#include "adapters/format_file/format_fields.h"

namespace tivenor::format_file {

// Throws FormatError through `check`.
Json ParseJsonText(std::string_view text, const FieldCheck& check);

}  // namespace tivenor::format_file
