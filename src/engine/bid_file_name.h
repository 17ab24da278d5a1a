// The bid file name rule: a bid file is named "xxx_项目编号_包组号.tbs.bidx"
// (any prefix, the project number, the package group number), and choosing a
// file reads the two numbers from its name.
#ifndef BREVALT_ENGINE_BID_FILE_NAME_H
#define BREVALT_ENGINE_BID_FILE_NAME_H

#include <string>

#include "platform/dialog_seam.h"
#include "record/verify_result.h"

namespace brevalt {

// Shown when a chosen file's name does not follow the rule (caption "警告").
inline constexpr char16_t kBidFileNameWarning[] =
    u"标书文件名格式不正确！请按照 xxx_项目编号_包组号.tbs.bidx的格式修改文件名后重新选择文件！";

// Reads the numbers from path: the part after the last path separator,
// trimmed of white space at both ends, cut before its last "." (a name
// without "." gives nothing), cut before the last "." again if one remains
// and trimmed again, then split at "_" (empty pieces between underscores
// count, a trailing underscore adds none). Exactly three pieces: true, with
// the second and third in *project and *package. Otherwise false and the
// outputs untouched. Pure.
bool ParseBidFileName(const std::u16string& path, std::u16string* project, std::u16string* package);

// The choose command once the user picked a file: full_path is the chosen
// path, file_name its name as the file dialog reports it. Accepted: sets
// BidPath, BidFileName, ProjectNumber and PackageNumber, edit 1000 shows
// BidPath, returns true; all four keep the name's characters as they are,
// control characters included, and only the path shown has them replaced
// (PlainText). Refused: shows kBidFileNameWarning /
// "警告" (warning icon), empties BidPath, sets BidFileName to the refused name and keeps
// ProjectNumber, PackageNumber and edit 1000; returns false. Interface thread, never while a run is
// in progress (CVerificationRun::ChooseBidFile guards that).
bool ApplyChosenBidFile(CVerifyResult& result, IDialogSeam& dialog, const std::u16string& full_path,
                        const std::u16string& file_name);

}  // namespace brevalt

#endif  // BREVALT_ENGINE_BID_FILE_NAME_H
