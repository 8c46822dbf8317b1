#pragma once

#include <QString>

namespace bwtest {

// The source tree, for tests that read shipped files (language files, resources).
QString sourceDir();

} // namespace bwtest
