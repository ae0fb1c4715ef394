#pragma once

// The texts the windows show, in one place.
namespace brevo::app::text {

inline constexpr char kCaption[] = "The Brevo Verifier 2.0 for Interleaf";
inline constexpr char kVersion[] = "The Brevo Verifier 2.01 for Interleaf";

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

// The other pages
inline constexpr char kPathsPageTitle[] = "Paths";
inline constexpr char kSettingsPageTitle[] = "Settings";
inline constexpr char kAboutPageTitle[] = "About";

}  // namespace brevo::app::text
