#pragma once

#include <QString>

// The three texts a company agrees to at sign-up, shown on the terms page of the sign-up form.
namespace signup {

// Member terms; first line "회원약관".
QString memberTerms();
// Notice on the collection and use of personal data; first line
// "ㆍ수집하는 개인정보의 항목 및 수집방법".
QString privacyNotice();
// Terms of the withdrawal service; first line "서비스 이용약관".
QString serviceTerms();

}  // namespace signup
