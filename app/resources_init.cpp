#include "app/resources_init.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the resource's registration function where it is used, so it must
// be used at global scope, outside any namespace.
static void initAppResources() {
    Q_INIT_RESOURCE(app);
}

namespace app {

void initResources() {
    static const bool done = (initAppResources(), true);
    (void)done;
}

}  // namespace app
