#pragma once

#include <QStringList>

class QTextStream;

// The repair-server program: reads the command line, opens the database,
// and then adds an account (--add-user) or serves clients until stopped.
namespace ServerProgram {

// Returns the exit status. Serving runs the application's event loop.
int run(const QStringList &arguments, QTextStream &input, QTextStream &output, QTextStream &errors);

} // namespace ServerProgram
