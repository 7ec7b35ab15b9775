// Control ids and fixed texts of the header panel.
#pragma once

constexpr int kHeaderLinkId = 24;
constexpr int kHeaderAuthorCaptionId = 25;
constexpr int kHeaderAuthorId = 26;
constexpr int kHeaderSaveId = 27;
constexpr int kHeaderExplanationId = 28;
constexpr int kHeaderTitleId = 29;
constexpr int kHeaderCodeId = 30;
constexpr int kHeaderCodeCaptionId = 31;
constexpr int kHeaderScoreId = 32;
constexpr int kHeaderHideId = 33;
constexpr int kHeaderScoreRuleId = 120;
constexpr int kHeaderRightRuleId = 121;
constexpr int kHeaderLinkRuleId = 122;
// Every header control id is below this.
constexpr int kHeaderIdCount = kHeaderLinkRuleId + 1;

// Controls whose ids fall in this range are painted on the panel's light-blue brush; the
// rules (120 to 122) keep the system colours.
constexpr int kHeaderFirstPaintedId = 20;
constexpr int kHeaderLastPaintedId = 33;

// The maker's web address: the link label's text and what a click on it opens.
constexpr const char* kMakerAddress = "https://enigo.example/";

// The score label's text from the solved count and the question count.
constexpr const char* kScoreFormat = " %d / %d";

// What the code field shows while no question is solved.
constexpr const char* kNoCodeText = "      ";
