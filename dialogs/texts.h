// Every Japanese text the program shows at run time, as the Shift_JIS bytes
// (code page 932) the window system is handed. The readable text stands in
// the comment beside each one. Texts that live in the resource script (menu,
// dialog captions and buttons) are there, not here.
#pragma once

namespace quorrin {
namespace texts {

// データファイルの読み込みに失敗しました
constexpr const char kLoadFailed[] =
    "\x83\x66\x81\x5b\x83\x5e\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x93\xc7\x82\xdd\x8d\x9e"
    "\x82\xdd\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
// 初期化エラー
constexpr const char kInitErrorCaption[] = "\x8f\x89\x8a\xfa\x89\xbb\x83\x47\x83\x89\x81\x5b";
// 最初から始めます。よろしいですか?
constexpr const char kRestartQuestion[] =
    "\x8d\xc5\x8f\x89\x82\xa9\x82\xe7\x8e\x6e\x82\xdf\x82\xdc\x82\xb7\x81\x42\x82\xe6\x82\xeb"
    "\x82\xb5\x82\xa2\x82\xc5\x82\xb7\x82\xa9?";
// 確認
constexpr const char kConfirmCaption[] = "\x8a\x6d\x94\x46";
// すべての記録を削除します。よろしいですか?
constexpr const char kClearQuestion[] =
    "\x82\xb7\x82\xd7\x82\xc4\x82\xcc\x8b\x4c\x98\x5e\x82\xf0\x8d\xed\x8f\x9c\x82\xb5\x82\xdc"
    "\x82\xb7\x81\x42\x82\xe6\x82\xeb\x82\xb5\x82\xa2\x82\xc5\x82\xb7\x82\xa9?";
// 記録を保存できませんでした。もう一度保存しますか?
constexpr const char kSaveFailed[] =
    "\x8b\x4c\x98\x5e\x82\xf0\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"
    "\x82\xc5\x82\xb5\x82\xbd\x81\x42\x82\xe0\x82\xa4\x88\xea\x93\x78\x95\xdb\x91\xb6"
    "\x82\xb5\x82\xdc\x82\xb7\x82\xa9?";
// 保存エラー
constexpr const char kSaveErrorCaption[] = "\x95\xdb\x91\xb6\x83\x47\x83\x89\x81\x5b";
// － (full-width minus): the clear time of a puzzle not yet cleared
constexpr const char kNotCleared[] = "\x81\x7c";
// "%3d:\t%2d x %2d\t難易度 %d\tクリア時間 %s": one line of the puzzle list
// (number, width, height, difficulty, clear time)
constexpr const char kPuzzleLineFormat[] =
    "%3d:\t%2d x %2d\t\x93\xef\x88\xd5\x93\x78 %d\t\x83\x4e\x83\x8a\x83\x41\x8e\x9e\x8a\xd4 %s";
// クリア: caption of the button that erases the clear times
constexpr const char kClearButton[] = "\x83\x4e\x83\x8a\x83\x41";
// quorrin version 1.7: the About box's text
constexpr const char kVersionText[] = "quorrin version 1.7";

}  // namespace texts
}  // namespace quorrin
