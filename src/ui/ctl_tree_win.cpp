// The folder tree rooted at "我的电脑": the drives, then the shell folders;
// sub-folders are read when a folder is opened.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "env/late_win.h"
#include "ui/control_win.h"
#include "ui/form_window_win.h"

namespace lz {

namespace {

// The shell's calls, loaded when the first tree is filled.
DWORD_PTR FileInfo(const wchar_t* path, DWORD attributes, SHFILEINFOW* info, UINT flags) {
    static const auto call = LateBound<decltype(&SHGetFileInfoW)>(L"shell32.dll", "SHGetFileInfoW");
    EnterComOnce();
    return call ? call(path, attributes, info, sizeof(*info), flags) : 0;
}

// The icon of a shell folder (CSIDL_*), or 0.
int SpecialFolderIcon(int csidl) {
    static const auto locate =
        LateBound<decltype(&SHGetSpecialFolderLocation)>(L"shell32.dll", "SHGetSpecialFolderLocation");
    static const auto release = LateBound<decltype(&CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    EnterComOnce();
    LPITEMIDLIST pidl = nullptr;
    if (!locate || !release || locate(nullptr, csidl, &pidl) != S_OK) return 0;
    SHFILEINFOW info{};
    FileInfo(reinterpret_cast<LPCWSTR>(pidl), 0, &info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    release(pidl);
    return info.iIcon;
}

// A tree item: a file-system path, or a shell folder known by its name.
struct TreeNode {
    std::wstring path;  // "" for a shell folder
    std::wstring display;
    bool filled = false;
};

class FolderTree : public Control {
public:
    using Control::Control;

    bool OnNotify(NMHDR* hdr, LRESULT&) override {
        if (hdr->code == TVN_ITEMEXPANDINGW) {
            auto* nm = reinterpret_cast<NMTREEVIEWW*>(hdr);
            if (nm->action & TVE_EXPAND) Expand(nm->itemNew.hItem);
        } else if (hdr->code == TVN_SELCHANGEDW && !filling_) {
            Fire(EventKind::Select, def_.index);
        }
        return true;
    }

    // Asking the shell for every drive takes long under Wine and the
    // pre-loaded windows are hidden: the tree is filled when first seen.
    void OnFormShown() override {
        if (!pending_) return;
        pending_ = false;
        filling_ = true;  // its first selection is not the user's
        Fill();
        filling_ = false;
    }

    std::wstring GetText() override {
        if (pending_) return L"我的电脑";  // what it selects once filled
        auto sel = reinterpret_cast<HTREEITEM>(SendMessageW(hwnd_, TVM_GETNEXTITEM, TVGN_CARET, 0));
        if (!sel) return L"";
        TVITEMW tvi{};
        tvi.mask = TVIF_PARAM;
        tvi.hItem = sel;
        SendMessageW(hwnd_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
        auto* node = reinterpret_cast<TreeNode*>(tvi.lParam);
        if (!node) return L"";
        return node->path.empty() ? node->display : node->path;
    }

protected:
    void Build() override {
        Make(WS_EX_CLIENTEDGE, WC_TREEVIEWW,
             WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, L"");
    }

private:
    void Fill() {
        SHFILEINFOW sfi{};
        HIMAGELIST icons =
            reinterpret_cast<HIMAGELIST>(FileInfo(L"C:\\", 0, &sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        if (icons) SendMessageW(hwnd_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
        auto add = [&](HTREEITEM parent, const std::wstring& path, const std::wstring& display, int icon,
                       bool children) { return Insert(parent, path, display, icon, icon, children); };
        HTREEITEM root = add(TVI_ROOT, L"", L"我的电脑", SpecialFolderIcon(CSIDL_DRIVES), false);
        wchar_t drives[256];
        DWORD n = GetLogicalDriveStringsW(255, drives);
        for (const wchar_t* d = drives; n && *d; d += lstrlenW(d) + 1) {
            std::wstring path = d;
            SHFILEINFOW info{};
            FileInfo(path.c_str(), 0, &info, SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
            std::wstring display = info.szDisplayName[0] ? info.szDisplayName : path;
            const size_t first = display.find_first_not_of(L' ');
            if (first == std::wstring::npos || display[first] == L'(' || display == path) {
                // A drive without a label: name its kind, as the system's own tree does.
                const wchar_t* kind = L"本地磁盘";
                switch (GetDriveTypeW(path.c_str())) {
                case DRIVE_REMOVABLE: kind = L"可移动磁盘"; break;
                case DRIVE_CDROM: kind = L"CD 驱动器"; break;
                case DRIVE_REMOTE: kind = L"网络驱动器"; break;
                default: break;
                }
                display = std::wstring(kind) + L" (" + path.substr(0, 2) + L")";
            }
            add(root, path, display, info.iIcon, true);
        }
        const std::pair<int, const wchar_t*> shellFolders[] = {
            {CSIDL_CONTROLS, L"控制面板"}, {CSIDL_DESKTOP, L"桌面"}, {CSIDL_NETWORK, L"网上邻居"},
            {CSIDL_BITBUCKET, L"回收站"}};
        for (const auto& [csidl, name] : shellFolders) add(root, L"", name, SpecialFolderIcon(csidl), false);
        SendMessageW(hwnd_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
        SendMessageW(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
    }

    void Expand(HTREEITEM item) {
        TVITEMW tvi{};
        tvi.mask = TVIF_PARAM;
        tvi.hItem = item;
        SendMessageW(hwnd_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
        auto* node = reinterpret_cast<TreeNode*>(tvi.lParam);
        if (!node || node->filled || node->path.empty()) return;
        node->filled = true;
        std::wstring base = node->path;
        if (base.back() != L'\\') base += L'\\';
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((base + L"*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
                if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
                if (!lstrcmpW(fd.cFileName, L".") || !lstrcmpW(fd.cFileName, L"..")) continue;
                names.push_back(fd.cFileName);
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
            return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
        });
        SHFILEINFOW info{};
        FileInfo(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        SHFILEINFOW open{};
        FileInfo(L"folder", FILE_ATTRIBUTE_DIRECTORY, &open,
                 SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
        for (const auto& name : names) Insert(item, base + name, name, info.iIcon, open.iIcon, true);
        if (names.empty()) {
            tvi.mask = TVIF_CHILDREN;
            tvi.cChildren = 0;
            SendMessageW(hwnd_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
        }
    }

    HTREEITEM Insert(HTREEITEM parent, const std::wstring& path, const std::wstring& display, int icon,
                     int openIcon, bool children) {
        auto node = std::make_unique<TreeNode>();
        node->path = path;
        node->display = display;
        TVINSERTSTRUCTW ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        ins.item.pszText = const_cast<wchar_t*>(node->display.c_str());
        ins.item.lParam = reinterpret_cast<LPARAM>(node.get());
        ins.item.cChildren = children ? 1 : 0;
        ins.item.iImage = icon;
        ins.item.iSelectedImage = openIcon;
        nodes_.push_back(std::move(node));
        return reinterpret_cast<HTREEITEM>(SendMessageW(hwnd_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    }

    std::vector<std::unique_ptr<TreeNode>> nodes_;
    bool pending_ = true;
    bool filling_ = false;
};

}  // namespace

std::unique_ptr<Control> MakeFolderTree(FormWindow& f, const ControlDef& d) {
    return std::make_unique<FolderTree>(f, d);
}

}  // namespace lz
