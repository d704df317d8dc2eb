#pragma once
// Command-line arguments are bytes, and so are the file names among them. Qt's own arguments are
// decoded as UTF-8, which turns a name such as "caf\xe9.bmp" (Latin-1) into another name for
// good. Decoded as Latin-1 instead, every argument passes through Qt's parser and back to the
// very bytes it was.

#include <QString>
#include <QStringList>

#include <string>

namespace tivenor::cli {

inline QStringList ByteArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(QString::fromLatin1(argv[i]));
  return arguments;
}

// The bytes of an argument, or of a text of the parser's that quotes one.
inline std::string ArgumentBytes(const QString& argument) {
  return argument.toLatin1().toStdString();
}

}  // namespace tivenor::cli
