#pragma once

class TestWindow;

// Checks that every menu item, toolbar button and panel of the window, and what a screen
// reader is told of them, is in Italian or in English, and that the right language is ticked.
void verifyLanguage(const TestWindow &w, bool italian);
