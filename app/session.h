#pragma once

#include <QString>

namespace app {

// The logged-in company, copied from its cms_company row by the login; empty until then and
// never cleared during the run.
struct Session {
    QString compno;
    QString compname;
    QString comptype;
    QString sicode;
    QString sitype;
    QString serviceid;
};

// The process-wide session record.
Session& session();

}  // namespace app
