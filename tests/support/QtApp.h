#pragma once

namespace kov::test {

// Makes sure a QCoreApplication exists for tests that need Qt's event machinery.
void ensureCoreApp();

}  // namespace kov::test
