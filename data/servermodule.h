#pragma once
// The server store lives in a module of its own (liblontaris_server.so), which
// brings PostgreSQL's client library with it: a program loads it the first
// time it is given a server's address, so a start on the file never loads
// either. It is looked for beside the program (the build tree, tests and
// benchmarks) and in the installed lib/lontaris.

#include "backend.h"

#include <memory>

namespace db {

// The store for a server address; none, with `why`, when the module cannot
// be loaded.
std::unique_ptr<Backend> serverBackend(const QString &location, QString &why);

} // namespace db

// The module's maker, found by name.
extern "C" {
using LontarisMakeServerStore = db::Backend *(*)(const QString &location);
}
