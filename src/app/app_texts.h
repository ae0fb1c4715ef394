#pragma once

// The texts the windows show, in one place.
namespace brevo::app::text {

inline constexpr char kCaption[] = "The Brevo Verifier 2.0 for Interleaf";
inline constexpr char kVersion[] = "The Brevo Verifier 2.01 for Interleaf";
inline constexpr char kSettingsOrganisation[] = "KORVAN";

// The sheet
inline constexpr char kHelp[] = "&Help";
inline constexpr char kExit[] = "&Exit";
inline constexpr char kFailedToLaunchHelp[] = "Failed to launch help.";

// The Verify page
inline constexpr char kVerifyPageTitle[] = "Verify Brevos";
inline constexpr char kVerifyBrevos[] = "&Verify Brevos...";
inline constexpr char kCancel[] = "&Cancel";
inline constexpr char kClearResults[] = "Clear &Results";
inline constexpr char kSaveResults[] = "&Save Results...";
inline constexpr char kFileBar[] = "File:";
inline constexpr char kBatchBar[] = "Batch:";
inline constexpr char kResults[] = "Results:";
inline constexpr char kAskCancel[] = "Are you sure you want to cancel?";
inline constexpr char kSelectFiles[] = "Select BRX file(s) to Verify";
inline constexpr char kTextFilter[] = "Text Files (*.TXT)";
inline constexpr char kRtfFilter[] = "RTF Files (*.RTF)";
inline constexpr char kSaveResultsAs[] = "Save Results As";
inline constexpr char kResultsName[] = "RESULTS.TXT";
inline constexpr char kCannotVerify[] = "These files cannot be verified:";
inline constexpr char kOneDirectory[] = "All translated files must be in one directory.";

// The confirmation before a batch
inline constexpr char kConfirmTitle[] = "Confirm Verification of Brevos";
inline constexpr char kSourcesAreIn[] =
    "The corresponding BRX source files are in the directory below:";
inline constexpr char kBrowse[] = "&Browse...";
inline constexpr char kLogFiles[] =
    "Log file(s) with the extension .CMP will be created in the target language directory.";
inline constexpr char kImportant[] =
    "IMPORTANT: Any CMP files with the corresponding file names in the directory will be "
    "overwritten.";
inline constexpr char kOk[] = "OK";
inline constexpr char kCancelButton[] = "Cancel";
inline constexpr char kSelectSourceDirectory[] = "Select Source BRX & ORG Files Directory";
inline constexpr char kPathDoesNotExist[] = "The path you entered doesn't exist. Please try again.";
inline constexpr char kSelect[] = "Select";

// The Paths page
inline constexpr char kPathsPageTitle[] = "Paths";
inline constexpr char kPathsGroup[] = "Paths";
inline constexpr char kSourceFiles[] = "Source BRX Files:";
inline constexpr char kTranslatedFiles[] = "Translated BRX Files:";
inline constexpr char kBrowseSource[] = "Br&owse...";
inline constexpr char kBrowseTranslated[] = "Bro&wse...";
inline constexpr char kKeepPaths[] = "Keep Paths";
inline constexpr char kDuringSession[] = "&During Session";
inline constexpr char kBetweenSessions[] = "&Between Sessions";
inline constexpr char kSelectSourceFiles[] = "Select Source BRX Files Directory";
inline constexpr char kSelectTranslatedFiles[] = "Select Translated BRX Files Directory";
inline constexpr char kTooLong[] = "Please enter no more than %1 characters.";
inline constexpr int kLongestPath = 260;

// The Settings page
inline constexpr char kSettingsPageTitle[] = "Settings";
inline constexpr char kOverwriteGroup[] = "Overwrite Files:";
inline constexpr char kAlwaysPrompt[] = "Always &Prompt";
inline constexpr char kAlwaysOverwrite[] = "Always &Overwrite";
inline constexpr char kFormatGroup[] = "File Format For BRX:";
inline constexpr char kAnsiText[] = "ANSI Te&xt";
inline constexpr char kRtf[] = "&RTF";
inline constexpr char kLanguageGroup[] = "Document Language";
inline constexpr char kTargetLanguage[] = "Target Lan&guage:";
inline constexpr const char* kLanguages[] = {
    "Danish",       "Dutch",     "English (AUS)",  "English (UK)",
    "English (US)", "Finnish",   "French",         "French (Canadian)",
    "German",       "Italian",   "Japanese (EUC)", "Japanese (Shift-JIS)",
    "None",         "Norwegian", "Portuguese",     "Portuguese (Brazilian)",
    "Spanish",      "Swedish"};

// The About page
inline constexpr char kAboutPageTitle[] = "About";
inline constexpr const char* kCredits[] = {
    "Checks translated BRX files against their", "sources before they are converted back.", "",
    "Every finding is numbered in a report",     "NAME.CMP beside the translated file.",    "",
    "\xC2\xA9 2026 The Brevo Verifier team"};

}  // namespace brevo::app::text

// The findings of a file and the two texts beside them
namespace brevo::app::text {

inline constexpr char kFindings[] = "Fin&dings:";
inline constexpr char kErrorsBox[] = "Err&ors (%1)";
inline constexpr char kAlertsBox[] = "&Alerts (%1)";
inline constexpr char kWarningsBox[] = "&Warnings (%1)";
inline constexpr char kFilterLabel[] = "Fi&lter:";
inline constexpr char kFilterHint[] = "Text in the message";
inline constexpr char kNoFileChosen[] = "Select a file's lines in the results to see its findings.";
inline constexpr char kFindingsTitle[] = "Findings - %1";
inline constexpr char kFindingOf[] = "Finding %1 of %2 in this file";
inline constexpr char kSourceSide[] = "Source:";
inline constexpr char kTargetSide[] = "Translation:";
inline constexpr char kOpenSource[] = "Open Source in &Editor";
inline constexpr char kOpenTarget[] = "Open Translation in E&ditor";
inline constexpr char kPreviousFinding[] = "&Previous Finding";
inline constexpr char kNextFinding[] = "&Next Finding";
inline constexpr char kClose[] = "Close";
inline constexpr char kNoLineHere[] = "The finding names no line in this file.";
inline constexpr char kCannotShow[] = "This file cannot be shown: %1";
inline constexpr char kNoProgram[] =
    "No program is registered on this system to open this file:\n%1\n\nThe line is %2.";
inline constexpr char kReportTitle[] = "Report - %1";

}  // namespace brevo::app::text

namespace brevo::app::text {
inline constexpr char kEditorOpened[] =
    "%1 went to the system's editor; the finding is on line %2.";
}  // namespace brevo::app::text
