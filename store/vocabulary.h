#pragma once

#include <QString>
#include <QStringList>

// The words the statements and the file server share with the service operator's tools.
namespace store {

// cms_user.stat
inline const QString kPayerWaiting = QStringLiteral("등록대기");
inline const QString kPayerRequested = QStringLiteral("등록요청");
inline const QString kPayerRegistered = QStringLiteral("등록완료");
inline const QString kPayerCancelWaiting = QStringLiteral("해지대기");
// cms_bill.stat: the only request status the client writes.
inline const QString kBillWaiting = QStringLiteral("발송대기");

// "9999-99-99": a start not yet set, or an open end.
inline const QString kOpenDate = QStringLiteral("9999-99-99");

// base_mate.거주현황
inline const QString kResidentInCare = QStringLiteral("사용중");
inline const QString kResidentDischarged = QStringLiteral("퇴소자");

// Business types chosen at sign-up (cms_company.comptype).
inline const QString kCompTypeIndividual = QStringLiteral("개인사업자");
inline const QString kCompTypeCorporation = QStringLiteral("법인사업자");
inline const QString kCompTypeOther = QStringLiteral("기타");
inline const QString kCompTypeNone = QStringLiteral("선택하세요.");

// File server folders, entered one level at a time from the login folder.
inline const QString kFolderRoot = QStringLiteral("DEBITON");
inline const QString kFolderForms = QStringLiteral("신청서");
inline const QString kFolderConsent = QStringLiteral("출금동의서");

// Documents in DEBITON/신청서.
inline const QString kDocConsentForm = QStringLiteral("출금동의서(회원).DOC");
inline const QString kDocApplication = QStringLiteral("DEBITON사용신청서.DOC");
inline const QString kDocIndividualCheck =
    QStringLiteral("개인사업자용_고객거래확인서_실제소유자확인서.DOC");
inline const QString kDocCorporateCheck =
    QStringLiteral("법인단체사업자용_고객거래확인서_실제소유자확인서.DOC");
inline const QString kDocIndividualSample =
    QStringLiteral("개인사업자용_고객거래확인서_실제소유자확인서_샘플.DOC");
inline const QString kDocCorporateSample =
    QStringLiteral("법인단체_사업자용_고객거래확인서_실제소유자확인서_샘플.DOC");

inline QStringList allDocuments() {
    return {kDocConsentForm,    kDocApplication,      kDocIndividualCheck,
            kDocCorporateCheck, kDocIndividualSample, kDocCorporateSample};
}

// The key of the facility directory's enciphered values.
inline const QString kServerInfoKey = QStringLiteral("kx7315");

// The build string shown in the status bar and written to ini/torvo.ini.
inline const QString kBuildString = QStringLiteral("20191029.001");

}  // namespace store
