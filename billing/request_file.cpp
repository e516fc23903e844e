#include "billing/request_file.h"

#include <QDir>

#include "billing/billing_queries.h"
#include "billing/request_file_writer.h"

namespace billing {

QString createRequestFile(platform::sql::Connection& c, const QString& serviceId,
                          const QString& billDate, const QString& institutionCode,
                          const QString& folder) {
    // The service id names the file: check it before anything is read or written.
    const RequestFileWriter writer(serviceId, institutionCode);
    const std::vector<RequestRecord> records = selectRequestRecords(c, serviceId, billDate);
    if (records.empty()) return {};
    const QString path = QDir(folder).filePath(RequestFileWriter::fileName(billDate, serviceId));
    writer.write(path, records);
    return path;
}

}  // namespace billing
