// Texts of uninstall mode, GBK at run time.
#pragma once

namespace uninstall::texts {

constexpr char kIncompleteInstallation[] = "Parvane 安装不完全，需要重新安装";
constexpr char kErrorCaption[] = "错误";

// Status line, step by step.
constexpr char kDeletingUninstallEntry[] = "删除卸载信息";
constexpr char kRemovingDriver[] = "删除驱动";
constexpr char kDeletingFiles[] = "删除所有程序文件，请稍候...";
constexpr char kFolderNotRemoved[] = "卸载Parvane成功!";
constexpr char kDeleted[] = "删除成功";

constexpr char kFinishButton[] = "完成(&O)";

// Why the program files were left alone: the recorded install folder is no
// folder an installation can own. Each is followed by the folder.
constexpr char kNotRemovedEmpty[] = "程序文件没有删除：注册表中记录的安装目录是空的。";
constexpr char kNotRemovedNotAbsolute[] =
    "程序文件没有删除：注册表中记录的安装目录不是完整的路径：";
constexpr char kNotRemovedDriveRoot[] = "程序文件没有删除：注册表中记录的安装目录是磁盘的根目录：";
constexpr char kNotRemovedShareRoot[] =
    "程序文件没有删除：注册表中记录的安装目录是网络共享的根目录：";
constexpr char kNotRemovedProtected[] =
    "程序文件没有删除：注册表中记录的安装目录是系统文件夹，或包含系统文件夹：";

}  // namespace uninstall::texts
