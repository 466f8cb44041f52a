#include "shell/QuickStart.h"

#include "store/ProjectList.h"

namespace shell {

int quickStartProject(const store::ProjectList& projects)
{
    for (int k = 0; k < projects.size(); ++k)
        if (projects.displayName(k).contains(QLatin1String("QuickStart (")))
            return k;
    return projects.isEmpty() ? -1 : 0;
}

} // namespace shell
