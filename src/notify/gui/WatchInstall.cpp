#include "notify/gui/WatchInstall.h"

#include "app/gui/Sounds.h"
#include "notify/NewRequestWatch.h"
#include "notify/gui/Balloons.h"

namespace bw {

void installNewRequestWatch()
{
    connectNewRequestWatch();
    NewRequestWatchHooks &hooks = watchHooks();
    hooks.showRequestNotice = [] { ShowRequestNotice(); };
    hooks.playSound = [](const QString &file) { playSoundFile(file); };
}

} // namespace bw
