#pragma once

#include <QString>

namespace Donate {

// Address of the project's donation page, without a scheme. A placeholder until the
// project has a page of its own.
inline constexpr const char kDonationPageAddress[] = "www.example.org/donate";

// Opens https:// + the address in the user's browser. The result is not looked at: when
// nothing can open it, nothing happens.
void openDonationPage();

} // namespace Donate
