#pragma once

#include <QString>

namespace platform::ftp {
class FtpClient;
}

// The service's application documents in DEBITON / 신청서 on the document server, and which of
// them a company of a business type is offered.
namespace documents {

// The five downloads of the documents form, top to bottom.
enum class Document {
    Application,       // "DEBITON사용신청서.DOC"
    CorporateCheck,    // corporations and organisations
    CorporateSample,   // their sample
    IndividualCheck,   // individual businesses
    IndividualSample,  // their sample
};

// The document's file name on the server (also the name the save dialog proposes).
QString fileName(Document d);

// Individual businesses get the individual-business documents; every other type (including
// "선택하세요." stored when nothing was chosen at sign-up) gets the corporate ones.
bool isIndividualBusiness(const QString& comptype);
// Whether a company of `comptype` is offered `d`; the application form is offered to all.
bool offered(Document d, const QString& comptype);

// From the login folder into DEBITON / 신청서 and the document to `localPath`. An existing file
// there is replaced only once the transfer is complete, so a failed download leaves it as it
// was. Throws platform::ftp::FtpError with the server's or a Korean text.
void download(platform::ftp::FtpClient& client, Document d, const QString& localPath);

}  // namespace documents
