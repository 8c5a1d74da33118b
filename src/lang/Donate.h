#pragma once

#include <QString>

namespace Donate {

// Address of the project's donation page, without a scheme: the build setting
// TELVO_DONATE_URL, by default the donate page of the project's web site.
inline constexpr const char kDonationPageAddress[] = TELVO_DONATE_ADDRESS;

// Opens https:// + the address in the user's browser. The result is not looked at: when
// nothing can open it, nothing happens.
void openDonationPage();

} // namespace Donate
