#pragma once
// Shared helpers of the tests.
#include <QString>

namespace testsupport {
// The folder the build places the program's resources in (pictures, schema, settings), ending in "/".
inline QString resourcesDir() { return QStringLiteral(TEST_RESOURCES_DIR); }
}  // namespace testsupport
