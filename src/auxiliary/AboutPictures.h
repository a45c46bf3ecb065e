#pragma once

#include <QPixmap>
#include <QUrl>

// The About window's addresses and its donate button picture.
namespace AboutPictures {
// The home page, "/" with "from=zintar", and the donation page "donate.php" with it.
QUrl HomePage();
QUrl DonatePage();
// The address the link label shows.
QString WebAddress();
// A 62 x 31 "Donate" button.
QPixmap DonateButton();
} // namespace AboutPictures
