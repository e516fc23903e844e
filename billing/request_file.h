#pragma once

#include <QString>

namespace platform::sql {
class Connection;
}

namespace billing {

// Writes the withdrawal request file of `billDate` ("YYYY-MM-DD") from the stored requests
// into `folder`, named "YYYYMMDD.<service id>.pay". Returns the path written, or "" when the
// date has no request to send (no file is written or deleted then). Throws
// RequestFileRefused (a value that does not fit the file; nothing touched), RequestFileError
// (the file could not be written; an earlier one stays as it was) and SqlError.
QString createRequestFile(platform::sql::Connection& c, const QString& serviceId,
                          const QString& billDate, const QString& institutionCode,
                          const QString& folder);

}  // namespace billing
