#pragma once

#include <QString>

namespace platform::sql {
class Connection;
}

// The statements of the company sign-up and the functions that run them on an open connection
// (the form opens it with DM->Fn_Dynamic_DB_Connect). Server errors arrive as
// platform::sql::SqlError.
namespace signup {

// Whether a company already has the login id `id`.
bool idTaken(platform::sql::Connection& c, const QString& id);
// Whether a company already has the business registration number `compno`.
bool compnoTaken(platform::sql::Connection& c, const QString& compno);

// The values of a new company as the form passes them (already trimmed). The service id, API
// key, facility code and type stay empty until the service operator fills them.
struct NewCompany {
    QString id;
    QString pw;
    QString comptype;
    QString compno;
    QString compname;
    QString tel;
    QString addr;
    QString email;
};

// Inserts the company in one transaction, committed at the end; when anything fails before the
// commit, nothing is stored.
void insertCompany(platform::sql::Connection& c, const NewCompany& company);

}  // namespace signup
