#include "documents/application_documents.h"

#include "platform/ftp/ftp_client.h"
#include "store/vocabulary.h"

namespace documents {

QString fileName(Document d) {
    switch (d) {
        case Document::Application:
            return store::kDocApplication;
        case Document::CorporateCheck:
            return store::kDocCorporateCheck;
        case Document::CorporateSample:
            return store::kDocCorporateSample;
        case Document::IndividualCheck:
            return store::kDocIndividualCheck;
        case Document::IndividualSample:
            return store::kDocIndividualSample;
    }
    return {};
}

bool isIndividualBusiness(const QString& comptype) {
    return comptype == store::kCompTypeIndividual;
}

bool offered(Document d, const QString& comptype) {
    switch (d) {
        case Document::Application:
            return true;
        case Document::CorporateCheck:
        case Document::CorporateSample:
            return !isIndividualBusiness(comptype);
        case Document::IndividualCheck:
        case Document::IndividualSample:
            return isIndividualBusiness(comptype);
    }
    return false;
}

void download(platform::ftp::FtpClient& client, Document d, const QString& localPath) {
    client.changeDir(store::kFolderRoot);
    client.changeDir(store::kFolderForms);
    // The client writes beside the target and moves the file into place when complete, which
    // also replaces an earlier file of that name; deleting it first would lose it whenever the
    // transfer then fails.
    client.get(fileName(d), localPath);
}

}  // namespace documents
