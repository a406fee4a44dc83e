// The help of quilvane-cli, in Chinese and in English.
#include <algorithm>

#include "cli/commands.h"
#include "cli/output.h"

namespace quilvane::cli {
namespace {

struct Help {
    const char* subcommand;
    const char* chinese;
    const char* english;
};

const Help kHelp[] = {
    {"name",
     "  name simple DIR --style artist-title|title [--separator -] [--artist 歌手] [--tree]\n"
     "      简单命名：artist-title 在名字前加上“歌手-”（歌手默认取文件所在文件夹的名字），\n"
     "      title 只留分隔符后面的部分。\n"
     "  name template DIR --template Ar_T [--separator -] [--tree]\n"
     "      按 ID3v1 标签命名：T 标题，Ar 歌手，Al 专辑，Y 年份，C 注释，G 流派，_ 分隔符。\n"
     "  name lines DIR --from 名字.txt\n"
     "      手工命名：文件夹中的文件（按列表顺序）依次取名字文件中的一行（- 表示标准输入）。\n"
     "  新名字已被别的文件占用时不改名（绝不删除文件）；同一批中互换、轮换名字都可以。\n",
     "  name simple DIR --style artist-title|title [--separator -] [--artist NAME] [--tree]\n"
     "      Simple naming: artist-title puts \"artist-\" in front of each name (the artist is\n"
     "      the file's folder name unless given), title keeps what follows the separator.\n"
     "  name template DIR --template Ar_T [--separator -] [--tree]\n"
     "      Names from the ID3v1 tag: T title, Ar artist, Al album, Y year, C comment,\n"
     "      G genre, _ the separator; other characters are copied.\n"
     "  name lines DIR --from names.txt\n"
     "      Manual naming: the folder's files, in list order, take the file's lines in turn\n"
     "      (- reads them from standard input).\n"
     "  A name taken by another file is left alone (no file is ever deleted); swaps and\n"
     "  cycles within one batch work.\n"},
    {"undo",
     "  undo [--list]\n"
     "      恢复最近一批改名（命令行或窗口中的改名、修复文件名）的旧名字，程序关闭或崩溃后也可以；\n"
     "      再运行一次就恢复更早的一批（最多保留最近 20 批）。--list 列出可以恢复的各批（时间、命令、\n"
     "      文件数、文件夹），最上面的最先恢复。\n",
     "  undo [--list]\n"
     "      Gives back the old names of the newest rename batch (from the command line or the\n"
     "      window, names repaired included), also after a crash or a restart; run it again\n"
     "      for the batch before (the last 20 batches are kept). --list shows the batches\n"
     "      (time, command, files, folder), the next one undone first.\n"},
    {"tags",
     "  tags show FILE... [--json]\n"
     "      显示两种标签；--json 每个文件输出一行 JSON 对象。\n"
     "  tags set FILE... [--v2 名称=值]... [--v1 名称=值]...\n"
     "      名称：title artist album year comment genre；ID3v2 还有 track composer\n"
     "      origartist copyright url encodedby。流派可写编号或英文名称。\n"
     "  tags copy v1-to-v2|v2-to-v1 DIR [--tree]\n"
     "  tags remove v1|v2|all DIR [--tree]\n",
     "  tags show FILE... [--json]\n"
     "      Both tags; --json prints one JSON object per file, one per line.\n"
     "  tags set FILE... [--v2 name=value]... [--v1 name=value]...\n"
     "      Names: title artist album year comment genre; ID3v2 also track composer\n"
     "      origartist copyright url encodedby. A genre is a number or its English name.\n"
     "  tags copy v1-to-v2|v2-to-v1 DIR [--tree]\n"
     "  tags remove v1|v2|all DIR [--tree]\n"},
    {"repair",
     "  repair DIR [--tree] [--apply] [--reading gbk|big5|shift-jis|latin-1] [--min-confidence N]\n"
     "      列出其他程序显示为乱码的标签和文件名（GBK 等旧编码、已存成乱码的 Unicode、\n"
     "      只有 GBK 的 ID3v1 标签、GBK 文件名）；加 --apply 修复。可信度低于 N 的只列出\n"
     "      不修复（行首标 #）；--reading 指定所有文字的编码。文件名的修复可以 undo。\n",
     "  repair DIR [--tree] [--apply] [--reading gbk|big5|shift-jis|latin-1] [--min-confidence N]\n"
     "      Lists texts and names other programs show garbled (GBK and other legacy code\n"
     "      pages, garbage already stored as Unicode, GBK-only ID3v1 tags, GBK names); --apply\n"
     "      repairs them. Readings less sure than N are listed (marked #), not repaired;\n"
     "      --reading forces one code page. Renamed names can be given back with undo.\n"},
    {"sort",
     "  sort DIR --target DIR --by artist|collect [--copy] [--tree] [--separator -] [--ext mp3]\n"
     "       [--only-existing]\n"
     "      artist：按名字中最后一个分隔符前的歌手名放进目标下的同名文件夹（--copy 复制）；\n"
     "      collect：全部移到目标文件夹。目标处已有同名文件时跳过。\n",
     "  sort DIR --target DIR --by artist|collect [--copy] [--tree] [--separator -] [--ext mp3]\n"
     "       [--only-existing]\n"
     "      artist: each file into the target's folder named after the artist (the name\n"
     "      before its last separator; --copy copies); collect: every file into the target.\n"
     "      A file whose name is taken there is skipped.\n"},
};

const char* kIntroChinese =
    "用法：quilvane-cli 命令 [参数]\n"
    "在终端中批量改名、修改 ID3 标签、修复乱码、归类音乐文件（与 Quilvane 窗口相同的功能）。\n\n";
const char* kIntroEnglish =
    "Usage: quilvane-cli COMMAND [ARGUMENTS]\n"
    "Renames music files in batches, edits their ID3 tags, repairs garbled legacy text and\n"
    "sorts files into folders: the engine of the Quilvane window, from a terminal.\n\n";
const char* kCommonChinese =
    "\n改动文件的命令都可以加 --dry-run（只显示将做什么，不改动任何文件）和 --verbose（列出每个改动）。\n"
    "改名的命令先确认改名日志写得进去（用于 undo）；写不进去（磁盘满、没有权限）就不改名，以状态 2 退出，\n"
    "加 --no-undo 仍然改名（这一批将不能撤销）。\n"
    "路径按字节原样使用，GBK 文件名也可以。进度显示在终端的标准错误上。\n"
    "改名或撤销中按 Ctrl-C（或收到 SIGTERM）会做完手头的这一个再停下，已做的可以用 undo 恢复。\n"
    "退出状态：0 成功，1 有文件失败，2 用法错误，130 被中断。\n";
const char* kCommonEnglish =
    "\nEvery command that changes files takes --dry-run (prints what it would do, changes\n"
    "nothing) and --verbose (lists every change). A command that renames first makes sure\n"
    "its rename journal (for undo) can be written; when it cannot (a full disk, no\n"
    "permission) nothing is renamed and the exit status is 2, unless --no-undo is given.\n"
    "Paths are used as the bytes given, so\n"
    "GBK names work. Progress goes to standard error when it is a terminal.\n"
    "Ctrl-C (or SIGTERM) during renames or an undo finishes the rename in hand, then stops;\n"
    "what was done can be undone with undo.\n"
    "Exit status: 0 success, 1 some files failed, 2 bad usage, 130 interrupted.\n";

}  // namespace

std::string helpText(const std::string& subcommand) {
    const bool chinese = speaksChinese();
    std::string text = chinese ? kIntroChinese : kIntroEnglish;
    text += chinese ? "命令：\n" : "Commands:\n";
    for (const Help& h : kHelp)
        if (subcommand.empty() || subcommand == h.subcommand) text += chinese ? h.chinese : h.english;
    return text + (chinese ? kCommonChinese : kCommonEnglish);
}

bool wantsHelp(const Words& words) {
    return std::any_of(words.begin(), words.end(), [](const std::string& w) { return w == "--help" || w == "-h"; });
}

}  // namespace quilvane::cli
