// Texts and values of the install sequence, GBK at run time.
#pragma once

namespace install::texts {

// The title of the folder browser opened by Browse.
constexpr char kBrowserCaption[] = "选择安装目录";

// Status line, step by step.
constexpr char kInstalling[] = "正在安装Parvane,请等待...";
constexpr char kExtracting[] = "解压文件到指定的目录...";
constexpr char kCreatingShortcuts[] = "生成快捷方式";
constexpr char kInstallingDriver[] = "安装驱动";
constexpr char kRegisteringUninstaller[] = "注册卸载程序";
constexpr char kRegisteringProduct[] = "注册软件信息";
constexpr char kInstallFailed[] = "安装失败,Parvane没有安装完成.";

constexpr char kFinishButton[] = "完成(&O)";
constexpr char kExitButton[] = "退出(&Q)";

// The records of the installation.
constexpr char kProductName[] = "Parvane";
constexpr char kProgramFile[] = "parvane.exe";
constexpr char kSetupProgramFile[] = "ParvaneSetup.exe";
constexpr char kUninstallArgument[] = "uninstall";
constexpr char kVersion[] = "Parvane 2.0.0419 Released 20050527";
constexpr char kCompany[] = "Corvantis";

// A folder the installation cannot use, refused before anything changes.
constexpr char kFolderEmpty[] = "请输入安装目录。";
constexpr char kFolderNotAbsolute[] =
    "请输入完整的安装目录路径，例如 C:\\Program Files\\Tavisk\\Parvane\\。";
constexpr char kFolderTooLong[] = "安装目录的路径太长，请选择一个较短的目录。";

// A folder no installation may own, followed by the folder: uninstalling
// removes everything in the install folder.
constexpr char kFolderIsDriveRoot[] = "不能安装到磁盘的根目录：";
constexpr char kFolderIsShareRoot[] = "不能安装到网络共享的根目录：";
constexpr char kFolderIsSystemFolder[] = "不能安装到系统文件夹，或包含系统文件夹的目录：";
constexpr char kFolderMustBeOwn[] =
    "卸载Parvane时会删除安装目录中的全部内容。请选择一个只给Parvane使用的目录。";

// A folder that already holds what the package does not bring, followed by
// the first such file or folder, then the same folder with the product's
// own folder added, as a suggestion.
constexpr char kFolderHoldsOthers[] = "安装目录中已有其他文件或文件夹：";
constexpr char kChooseEmptyFolder[] =
    "卸载Parvane时会删除这个目录中的全部内容。请选择一个空的或新的目录，例如：";
constexpr char kProductFolder[] = "Parvane\\";

// Files that could not be installed.
constexpr char kFolderNotWritable[] =
    "无法在安装目录中写入文件，Parvane没有安装完成。请选择另一个安装目录后重新安装。";
constexpr char kCannotWriteFile[] = "无法写入文件，Parvane没有安装完成。";
constexpr char kFolderHoldsLink[] =
    "安装目录中有指向其他位置的链接，为安全起见没有通过它写入文件，Parvane没有安装完成。"
    "请选择另一个安装目录后重新安装。";
constexpr char kCannotReadPackage[] = "无法读取安装文件，Parvane没有安装完成。";

}  // namespace install::texts
