#pragma once
// The texts of the help window's five text pages and of its credits page.

#include <QString>

struct HelpPage {
    QString title;
    QString text; // paragraphs separated by empty lines
};

HelpPage helpWasIstBlitzfang();
HelpPage helpBenutzung();
HelpPage helpEditor();
HelpPage helpOptionen();
HelpPage helpExtras();

// The maker's feedback address and the mail link the credits page opens.
extern const char* const kMakerMail;
extern const char* const kFeedbackLink;
// The partner named on the credits page.
extern const char* const kPartnerWebAddress;
