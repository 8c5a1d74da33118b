#include "Donate.h"

#include <QDesktopServices>
#include <QUrl>

void Donate::openDonationPage()
{
    const QString address = QString::fromLatin1(kDonationPageAddress);
    QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + address));
}
