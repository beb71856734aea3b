// The host services of the run-time library over Qt's dialogs: message
// boxes, input boxes, file and folder dialogs and the shell.
#include "QzGuiPrivate.h"
#include "Forms.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

using namespace qzgui;

namespace {

// A dialog coming up ends what the mouse was doing (dragging, a held button,
// an open drop-down), as the platform tells the window holding the mouse.
QWidget* DialogParent()
{
    if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
    if (GetCapture()) ReleaseCapture();
    CancelDrag();
    return QApplication::activeWindow();
}

// "Text (*.txt)|*.txt|All (*.*)|*.*" in Qt's form: "Text (*.txt);;All (*.*)".
QStringList QtFilters(const std::string& filter)
{
    QStringList parts = QS(filter).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        QString pats = parts[i + 1];
        pats.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the brackets of the name: a name that
        // shows them already stays as it is, others get them added.
        int open = int(name.lastIndexOf(QLatin1Char('('))), close = int(name.lastIndexOf(QLatin1Char(')')));
        QString shown = open >= 0 && close > open ? name.mid(open + 1, close - open - 1).simplified() : QString();
        shown.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (shown == pats.simplified()) out << name;
        else out << name + QStringLiteral(" (") + pats + QStringLiteral(")");
    }
    return out;
}

class TQtHost : public IHostServices {
public:
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override
    {
        QMessageBox box(DialogParent());
        box.setWindowTitle(QS(caption));
        box.setText(QS(text));
        switch (flags & MB_ICONMASK) {
        case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        struct TB { const char* Text; int Id; };
        std::vector<TB> buttons;
        switch (flags & MB_TYPEMASK) {
        case MB_OKCANCEL: buttons = {{"确定", IDOK}, {"取消", IDCANCEL}}; break;
        case MB_ABORTRETRYIGNORE: buttons = {{"中止(&A)", IDABORT}, {"重试(&R)", IDRETRY}, {"忽略(&I)", IDIGNORE}}; break;
        case MB_YESNOCANCEL: buttons = {{"是(&Y)", IDYES}, {"否(&N)", IDNO}, {"取消", IDCANCEL}}; break;
        case MB_YESNO: buttons = {{"是(&Y)", IDYES}, {"否(&N)", IDNO}}; break;
        case MB_RETRYCANCEL: buttons = {{"重试(&R)", IDRETRY}, {"取消", IDCANCEL}}; break;
        default: buttons = {{"确定", IDOK}}; break;
        }
        std::vector<std::pair<QAbstractButton*, int>> made;
        for (auto& b : buttons) {
            QMessageBox::ButtonRole role = b.Id == IDCANCEL ? QMessageBox::RejectRole
                                           : (b.Id == IDOK || b.Id == IDYES) ? QMessageBox::AcceptRole
                                                                            : QMessageBox::ActionRole;
            made.push_back({box.addButton(QString::fromUtf8(b.Text), role), b.Id});
        }
        size_t def = (flags & MB_DEFMASK) >> 8;
        if (def < made.size()) box.setDefaultButton(static_cast<QPushButton*>(made[def].first));
        int esc = MessageBoxDefaultAnswer(flags);
        for (auto& [btn, id] : made)
            if (id == esc) box.setEscapeButton(btn);
        if (flags & MB_TOPMOST) box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
        for (auto& [btn, id] : made)
            if (box.clickedButton() == btn) return id;
        return esc;
    }

    TModalResult MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int) override
    {
        QMessageBox box(DialogParent());
        static const char* titles[] = {"警告", "错误", "信息", "确认", ""};
        box.setWindowTitle(type == mtCustom && Application ? QS(Application->Title()) : QString::fromUtf8(titles[type]));
        box.setText(QS(msg));
        switch (type) {
        case mtWarning: box.setIcon(QMessageBox::Warning); break;
        case mtError: box.setIcon(QMessageBox::Critical); break;
        case mtInformation: box.setIcon(QMessageBox::Information); break;
        case mtConfirmation: box.setIcon(QMessageBox::Question); break;
        default: break;
        }
        static const char* names[] = {"是(&Y)", "否(&N)", "确定", "取消", "中止(&A)", "重试(&R)", "忽略(&I)",
                                      "全部(&A)", "全否(&O)", "全是(&Y)", "帮助(&H)"};
        std::vector<std::pair<QAbstractButton*, TModalResult>> made;
        for (int b = mbYes; b <= mbHelp; ++b) {
            if (!buttons.Contains(TMsgDlgBtn(b))) continue;
            auto* btn = box.addButton(QString::fromUtf8(names[b]), b == mbCancel ? QMessageBox::RejectRole : QMessageBox::ActionRole);
            made.push_back({btn, ModalResultOf(TMsgDlgBtn(b))});
        }
        if (made.empty()) made.push_back({box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole), mrOk});
        box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
        TModalResult esc = MessageDlgDefaultAnswer(buttons);
        for (auto& [btn, r] : made)
            if (r == esc) box.setEscapeButton(btn);
        box.exec();
        for (auto& [btn, r] : made)
            if (box.clickedButton() == btn) return r;
        return esc;
    }

    void ShowMessage(const std::string& msg) override
    {
        MessageBox(msg, Application ? Application->Title() : std::string(), MB_OK);
    }

    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override
    {
        bool ok = false;
        QString r = QInputDialog::getText(DialogParent(), QS(caption), QS(prompt), QLineEdit::Normal, QS(value), &ok);
        if (ok) value = US(r);
        return ok;
    }

    bool FileDialog(const TFileDialogRequest& req, TFileDialogResult& result, bool save)
    {
        QFileDialog dlg(DialogParent(), QS(req.Title));
        dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        QStringList filters = QtFilters(req.Filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            int idx = req.FilterIndex - 1;
            if (idx >= 0 && idx < filters.size()) dlg.selectNameFilter(filters[idx]);
        }
        if (!req.InitialDir.empty()) dlg.setDirectory(QS(req.InitialDir));
        if (!req.FileName.empty()) dlg.selectFile(QS(req.FileName));
        if (!req.DefaultExt.empty()) dlg.setDefaultSuffix(QS(req.DefaultExt));
        if (save) {
            dlg.setFileMode(QFileDialog::AnyFile);
            if (!req.Options.Contains(ofOverwritePrompt)) dlg.setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            dlg.setFileMode(req.Options.Contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                            : req.Options.Contains(ofFileMustExist) ? QFileDialog::ExistingFile
                                                                     : QFileDialog::AnyFile);
        }
        if (dlg.exec() != QDialog::Accepted) return false;
        result.Files.clear();
        for (const QString& f : dlg.selectedFiles()) result.Files.push_back(US(QDir::toNativeSeparators(f)));
        int fi = int(filters.indexOf(dlg.selectedNameFilter()));
        result.FilterIndex = fi >= 0 ? fi + 1 : req.FilterIndex;
        return !result.Files.empty();
    }

    bool OpenFileDialog(const TFileDialogRequest& req, TFileDialogResult& result) override
    {
        return FileDialog(req, result, false);
    }
    bool SaveFileDialog(const TFileDialogRequest& req, TFileDialogResult& result) override
    {
        return FileDialog(req, result, true);
    }

    bool SelectDirectory(const std::string& caption, const std::string& root, std::string& directory) override
    {
        QString start = QS(directory.empty() ? root : directory);
        QString r = QFileDialog::getExistingDirectory(DialogParent(), QS(caption), start);
        if (r.isEmpty()) return false;
        directory = US(QDir::toNativeSeparators(r));
        return true;
    }

    int ShellExecute(const std::string& operation, const std::string& file, const std::string&,
                     const std::string& dir, int) override
    {
        QString f = QS(file);
        QUrl url = QUrl(f, QUrl::StrictMode);
        if (url.scheme().size() <= 1) {
            // A path: relative ones count from the given folder; a missing file is error 2.
            QFileInfo fi(dir.empty() || QFileInfo(f).isAbsolute() ? f : QDir(QS(dir)).filePath(f));
            if (!fi.exists()) return 2;
            url = QUrl::fromLocalFile(fi.absoluteFilePath());
        }
        (void)operation;
        return QDesktopServices::openUrl(url) ? 42 : 31;
    }

    bool HelpCommand(const std::string& helpFile, unsigned, int64_t) override
    {
        if (helpFile.empty() || !QFileInfo::exists(QS(helpFile))) return false;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QS(helpFile)));
    }

    bool FontDialog(TFontDialogData& d) override
    {
        QFont start(QS(d.Name));
        start.setPointSize(std::max(1, d.Size));
        start.setBold(d.Bold);
        start.setItalic(d.Italic);
        start.setUnderline(d.Underline);
        start.setStrikeOut(d.StrikeOut);
        bool ok = false;
        QFont q = QFontDialog::getFont(&ok, start, DialogParent());
        if (!ok) return false;
        d.Name = US(q.family());
        d.Size = q.pointSize() > 0 ? q.pointSize() : std::max(1, q.pixelSize() * 72 / 96);
        d.Bold = q.bold();
        d.Italic = q.italic();
        d.Underline = q.underline();
        d.StrikeOut = q.strikeOut();
        return true;
    }

    bool ColorDialog(TColorDialogData& d) override
    {
        QColorDialog dlg(QCol(TColor(d.Color)), DialogParent());
        for (size_t i = 0; i < d.CustomColors.size() && int(i) < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(int(i), QCol(TColor(d.CustomColors[i])));
        if (dlg.exec() != QDialog::Accepted) return false;
        d.Color = TC(dlg.selectedColor());
        d.CustomColors.clear();
        for (int i = 0; i < QColorDialog::customCount() && i < 16; ++i)
            d.CustomColors.push_back(TC(QColorDialog::customColor(i)));
        return true;
    }

    // The find and replace dialog: a small window that stays up beside the
    // program's, sending each request back.
    bool ShowFindDialog(const TFindDialogData& data, TFindDialogCallback callback) override
    {
        CloseFindDialog();
        auto* dlg = new QDialog(DialogParent());
        dlg->setAttribute(Qt::WA_DeleteOnClose);
        dlg->setWindowTitle(QString::fromUtf8(data.Replace ? "替换" : "查找"));
        auto* grid = new QGridLayout(dlg);
        auto* find = new QLineEdit(QS(data.FindText));
        auto* repl = new QLineEdit(QS(data.ReplaceText));
        grid->addWidget(new QLabel(QString::fromUtf8("查找内容(&N):")), 0, 0);
        grid->addWidget(find, 0, 1);
        if (data.Replace) {
            grid->addWidget(new QLabel(QString::fromUtf8("替换为(&P):")), 1, 0);
            grid->addWidget(repl, 1, 1);
        }
        auto* matchCase = new QCheckBox(QString::fromUtf8("区分大小写(&C)"));
        auto* whole = new QCheckBox(QString::fromUtf8("全字匹配(&W)"));
        auto* up = new QRadioButton(QString::fromUtf8("向上(&U)"));
        auto* down = new QRadioButton(QString::fromUtf8("向下(&D)"));
        matchCase->setChecked(data.MatchCase);
        whole->setChecked(data.WholeWord);
        (data.Down ? down : up)->setChecked(true);
        matchCase->setVisible(!data.HideMatchCase);
        matchCase->setEnabled(!data.DisableMatchCase);
        whole->setVisible(!data.HideWholeWord);
        whole->setEnabled(!data.DisableWholeWord);
        for (auto* r : {up, down}) {
            r->setVisible(!data.HideUpDown && !data.Replace);
            r->setEnabled(!data.DisableUpDown);
        }
        grid->addWidget(whole, 2, 0);
        grid->addWidget(matchCase, 3, 0);
        grid->addWidget(up, 2, 1);
        grid->addWidget(down, 3, 1);
        auto* next = new QPushButton(QString::fromUtf8("查找下一个(&F)"));
        next->setDefault(true);
        grid->addWidget(next, 0, 2);
        auto* cancel = new QPushButton(QString::fromUtf8("取消"));
        auto current = [=] {
            TFindDialogData d = data;
            d.FindText = US(find->text());
            d.ReplaceText = US(repl->text());
            d.MatchCase = matchCase->isChecked();
            d.WholeWord = whole->isChecked();
            d.Down = data.Replace || down->isChecked();
            return d;
        };
        QObject::connect(next, &QPushButton::clicked, dlg, [=] { callback(TFindRequest::FindNext, current()); });
        if (data.Replace) {
            auto* one = new QPushButton(QString::fromUtf8("替换(&R)"));
            auto* all = new QPushButton(QString::fromUtf8("全部替换(&A)"));
            grid->addWidget(one, 1, 2);
            grid->addWidget(all, 2, 2);
            QObject::connect(one, &QPushButton::clicked, dlg, [=] { callback(TFindRequest::Replace, current()); });
            QObject::connect(all, &QPushButton::clicked, dlg, [=] { callback(TFindRequest::ReplaceAll, current()); });
        }
        grid->addWidget(cancel, 3, 2);
        QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
        QObject::connect(dlg, &QDialog::finished, dlg, [this, callback, current] {
            FFind = nullptr;
            callback(TFindRequest::Close, current());
        });
        FFind = dlg;
        dlg->show();
        return true;
    }

    void CloseFindDialog() override
    {
        if (!FFind) return;
        QDialog* d = FFind;
        FFind = nullptr;
        // Closed by the program: no request comes back.
        QObject::disconnect(d, &QDialog::finished, nullptr, nullptr);
        d->close();
    }

    bool PrintDialog(TPrintDialogData& d) override { return RunPrintDialog(d, false); }
    bool PrinterSetupDialog(TPrintDialogData& d) override { return RunPrintDialog(d, true); }

private:
    QPointer<QDialog> FFind;
    // The dialogs edit a printer set up from the data; the last entry of the
    // list is the PDF-file printer, which Qt shows as its PDF output.
    static bool RunPrintDialog(TPrintDialogData& d, bool setup)
    {
        QWidget* parent = DialogParent();
        QPrinter printer(QPrinter::HighResolution);
        bool pdf = d.PrinterIndex < 0 || d.PrinterIndex + 1 >= int(d.Printers.size());
        if (pdf) printer.setOutputFormat(QPrinter::PdfFormat);
        else printer.setPrinterName(QS(d.Printers[size_t(d.PrinterIndex)]));
        printer.setPageOrientation(d.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        if (d.PaperSize > 0 && d.PaperSize < 256) printer.setPageSize(QPageSize(QPageSize::id(d.PaperSize)));
        printer.setCopyCount(d.Copies);
        printer.setCollateCopies(d.Collate);
        if (setup) {
            QPageSetupDialog dlg(&printer, parent);
            if (dlg.exec() != QDialog::Accepted) return false;
        } else {
            QPrintDialog dlg(&printer, parent);
            QAbstractPrintDialog::PrintDialogOptions o = QAbstractPrintDialog::PrintCollateCopies;
            if (d.AllowPageNums) o |= QAbstractPrintDialog::PrintPageRange;
            if (d.AllowSelection) o |= QAbstractPrintDialog::PrintSelection;
            if (d.AllowPrintToFile) o |= QAbstractPrintDialog::PrintToFile;
            dlg.setOptions(o);
            if (d.MaxPage > 0) dlg.setMinMax(std::max(1, d.MinPage), d.MaxPage);
            if (d.PrintRange == prPageNums) {
                printer.setPrintRange(QPrinter::PageRange);
                printer.setFromTo(d.FromPage, d.ToPage);
            }
            if (dlg.exec() != QDialog::Accepted) return false;
            d.PrintRange = printer.printRange() == QPrinter::PageRange ? prPageNums
                           : printer.printRange() == QPrinter::Selection ? prSelection
                                                                         : prAllPages;
            d.FromPage = printer.fromPage();
            d.ToPage = printer.toPage();
            d.Copies = printer.copyCount();
            d.Collate = printer.collateCopies();
            d.PrintToFile = !printer.outputFileName().isEmpty();
        }
        if (printer.outputFormat() == QPrinter::PdfFormat) {
            d.PrinterIndex = int(d.Printers.size()) - 1;
        } else {
            for (size_t i = 0; i < d.Printers.size(); ++i)
                if (QS(d.Printers[i]) == printer.printerName()) d.PrinterIndex = int(i);
        }
        d.Landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
        int code = printer.pageLayout().pageSize().windowsId();
        if (code > 0) d.PaperSize = code;
        return true;
    }
};

} // namespace

std::shared_ptr<IHostServices> MakeWindowSystemHost() { return std::make_shared<TQtHost>(); }

void qzgui::InstallHostServices() { SetHostServices(MakeWindowSystemHost()); }
