#include "DirPicker.h"

#include "TextUtils.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

QZ_CLASS_IMPL(TDirPickerFrm, TADlgFrm)

TDirPickerFrm::TDirPickerFrm(TComponent* owner) : TADlgFrm(owner)
{
    SetName("DirPickerFrm");
    SetCaption("选择目录");
    SetClientSize(330, 330);
    Label1 = UiKit::MakeLabel(this, this, "请选择备份目录", 12, 10);
    DriveComboBox1 = UiKit::Make<TComboBox>(this, this, 12, 30, 306, 21);
    DriveComboBox1->SetStyle(csDropDownList);
    DriveComboBox1->Items()->Add("/");
    if (const char* home = std::getenv("HOME"); home && *home) DriveComboBox1->Items()->Add(home);
    DriveComboBox1->OnChange = [this](TObject*) {
        if (DriveComboBox1->ItemIndex() >= 0) SetDirectory(DriveComboBox1->Items()->Strings(DriveComboBox1->ItemIndex()));
    };
    DirectoryListBox1 = UiKit::Make<TListBox>(this, this, 12, 58, 306, 190);
    DirectoryListBox1->OnDblClick = [this](TObject*) { OpenItem(DirectoryListBox1->ItemIndex()); };
    Label2 = UiKit::MakeLabel(this, this, "", 12, 256);
    PlaceButtons();
    SetDirectory("/");
}

void TDirPickerFrm::SetDirectory(const std::string& dir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (dir.empty() || !fs::is_directory(dir, ec)) return;
    fs::path p = fs::weakly_canonical(fs::path(dir), ec);
    if (ec) return;
    FDirectory = IncludeTrailingPathDelimiter(p.string());
    std::vector<std::string> names;
    for (fs::directory_iterator it(p, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code e2;
        if (it->is_directory(e2)) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    DirectoryListBox1->Items()->Clear();
    if (p.has_relative_path()) DirectoryListBox1->Items()->Add("..");
    for (const auto& n : names) DirectoryListBox1->Items()->Add(n);
    Label2->SetCaption(FDirectory);
    // The place the folder lies under (the home folder before the root).
    int place = -1;
    size_t longest = 0;
    for (int i = 0; i < DriveComboBox1->Items()->Count(); ++i) {
        const std::string root = IncludeTrailingPathDelimiter(DriveComboBox1->Items()->Strings(i));
        if (FDirectory.compare(0, root.size(), root) == 0 && root.size() >= longest) {
            place = i;
            longest = root.size();
        }
    }
    DriveComboBox1->SetItemIndex(place);
}

void TDirPickerFrm::OpenItem(int index)
{
    if (index < 0 || index >= DirectoryListBox1->Items()->Count()) return;
    const std::string name = DirectoryListBox1->Items()->Strings(index);
    namespace fs = std::filesystem;
    SetDirectory(name == ".." ? fs::path(FDirectory).parent_path().parent_path().string() : FDirectory + name);
}

namespace DirPicker {

bool PickDirectory(const std::string& initial, std::string& chosen)
{
    chosen = initial;
    std::unique_ptr<TDirPickerFrm> f(new TDirPickerFrm(nullptr));
    f->SetDirectory(initial);
    if (f->ShowModal() != mrOk) return false;
    chosen = f->Directory();
    return true;
}

}  // namespace DirPicker
