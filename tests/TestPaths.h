// Where a test finds the source tree and its build tree. Every test source gets this header
// ahead of its own text (a forced include), and only the one generated object behind these
// functions holds the two paths, so a clone of the project at another path compiles its
// tests to the same objects, and the compiler cache serves them.
#pragma once

namespace quorin::testpaths {
const char* SourceDir();
const char* BinaryDir();
}  // namespace quorin::testpaths

#define QUORIN_SOURCE_DIR (::quorin::testpaths::SourceDir())
#define QUORIN_BINARY_DIR (::quorin::testpaths::BinaryDir())
