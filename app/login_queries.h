#pragma once

#include <QString>
#include <optional>

#include "app/session.h"

namespace platform::sql {
class Connection;
struct ConnectionSettings;
}  // namespace platform::sql

// The statements of the login and the functions that run them on an open connection (the
// login form opens it with DM->Fn_Dynamic_DB_Connect). Server errors arrive as
// platform::sql::SqlError.
namespace app {

// The columns of a cms_company row that the login uses, as the server gave them.
struct CompanyRow {
    QString id;
    QString pw;
    QString compno;
    QString compname;
    QString comptype;
    QString sicode;
    QString sitype;
    QString serviceid;
};

// The company whose id and password match (the first row when there are several).
std::optional<CompanyRow> selectCompanyByLogin(platform::sql::Connection& c, const QString& id,
                                               const QString& pw);
// The company with the facility code `sicode` (automatic login from the command line).
std::optional<CompanyRow> selectCompanyBySicode(platform::sql::Connection& c,
                                                const QString& sicode);

// The copies the session record keeps of a company row.
void fillSession(Session& s, const CompanyRow& row);

// Where the care-facility database of a facility is, deciphered by the server.
struct FacilityServer {
    QString host;
    QString port;
    QString user;
    QString pass;
    QString db;
};

// The facility directory's row of `sicode`, deciphered with the shared key.
std::optional<FacilityServer> selectFacilityServer(platform::sql::Connection& c,
                                                   const QString& sicode);

// The port of a facility row as a number; nullopt unless it is a whole number 1..65535.
std::optional<int> facilityPort(const FacilityServer& server);

// Puts host, port, user, password and database of `server` into `uniCon`. All or nothing:
// a row without host or whose port is not a number (a value that did not decipher reads as
// empty) leaves `uniCon` as it was and returns false.
bool applyFacilityServer(const FacilityServer& server, platform::sql::ConnectionSettings& uniCon);

}  // namespace app
