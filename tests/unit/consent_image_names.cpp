// Numbering of a payer's consent images and the name of a saved copy.
#include <gtest/gtest.h>

#include "payers/consent_images.h"

namespace {

const QString kId = QStringLiteral("0000000001");

TEST(ConsentImageNames, NextNumberIsTheHighestOfThePayersImagesPlusOne) {
    const struct {
        const char* what;
        QStringList names;
        long long next;
    } cases[] = {
        {"empty folder", {}, 1},
        {"gaps are not refilled",
         {"0000000001_001.JPG", "0000000001_002.JPG", "0000000001_005.JPG"},
         6},
        {"listing order does not matter", {"0000000001_005.JPG", "0000000001_001.JPG"}, 6},
        {"beyond 999 the digits up to the dot count", {"0000000001_999.JPG"}, 1000},
        {"four digits", {"0000000001_999.JPG", "0000000001_1000.JPG", "0000000001_010.JPG"}, 1001},
        {"lower-case extension", {"0000000001_007.jpg"}, 8},
        {"stray files take no part",
         {"0000000001_003.JPG", "0000000001_abc.JPG", "0000000001_.JPG", "0000000001_12a.JPG",
          "notes.txt", "0000000001_004", "Thumbs.db", "0000000001_0x9.JPG"},
         4},
        {"another payer's images take no part", {"0000000002_050.JPG", "00000000010_060.JPG"}, 1},
        {"an absurdly long number takes no part", {"0000000001_9999999999999999999999.JPG"}, 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_EQ(payers::nextImageNumber(k.names, kId), k.next);
    }
}

TEST(ConsentImageNames, FileNamesHaveAtLeastThreeDigits) {
    EXPECT_EQ(payers::imageFileName(kId, 1), "0000000001_001.JPG");
    EXPECT_EQ(payers::imageFileName(kId, 42), "0000000001_042.JPG");
    EXPECT_EQ(payers::imageFileName(kId, 1000), "0000000001_1000.JPG");
    // What is written is read back as the same number.
    for (long long n : {1LL, 999LL, 1000LL, 123456LL})
        EXPECT_EQ(payers::imageNumber(payers::imageFileName(kId, n), kId), n);
}

TEST(ConsentImageNames, SavedCopiesEndInJpg) {
    EXPECT_EQ(payers::withJpgExtension("/home/u/scan"), "/home/u/scan.JPG");
    EXPECT_EQ(payers::withJpgExtension("/home/u/scan.jpg"), "/home/u/scan.jpg");
    EXPECT_EQ(payers::withJpgExtension("/home/u/scan.JpG"), "/home/u/scan.JpG");
    EXPECT_EQ(payers::withJpgExtension("/home/u/scan.jpeg"), "/home/u/scan.jpeg.JPG");
}

}  // namespace
