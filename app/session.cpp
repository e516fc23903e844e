#include "app/session.h"

namespace app {

Session& session() {
    static Session s;
    return s;
}

}  // namespace app
