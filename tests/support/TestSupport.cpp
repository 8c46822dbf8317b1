#include "TestSupport.h"

namespace bwtest {

QString sourceDir()
{
    return QStringLiteral(BW_SOURCE_DIR);
}

} // namespace bwtest
