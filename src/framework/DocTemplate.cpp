// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/DocTemplate.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QStyle>
#include <algorithm>
#include <utility>
#include <unistd.h>

#include "framework/CommandIds.h"
#include "framework/FrameworkStrings.h"

namespace {
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        fields.push_back(text.substr(start, end - start));
    fields.push_back(text.substr(start));
    return fields;
}

// Paths name the same file when they resolve to the same place.
bool SamePath(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

std::optional<std::filesystem::path> RunQtFileDialog(QWidget* parent, bool bOpen, const QString& proposed,
                                                     const QString& filter)
{
    QFileDialog dialog(parent, QString::fromUtf8(bOpen ? framework_strings::kOpenFileCaption
                                                       : framework_strings::kSaveFileCaption));
    dialog.setNameFilter(filter);
    if (bOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
    } else {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("kvt"));
        dialog.selectFile(proposed);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}
}  // namespace

// --- CMDIChildWnd

CMDIChildWnd::CMDIChildWnd(CMultiDocTemplate& docTemplate, CDocument& doc) : m_pTemplate(&docTemplate), m_document(doc)
{
    setAttribute(Qt::WA_DeleteOnClose);
    OnCommandId(cmd::ID_FILE_CLOSE, [this] {
        if (m_pTemplate)
            m_pTemplate->CloseDocument(m_document);
    });
    OnCommandId(cmd::ID_FILE_SAVE, [this] {
        if (m_pTemplate)
            m_pTemplate->DoFileSave(m_document);
    });
    OnCommandId(cmd::ID_FILE_SAVE_AS, [this] {
        if (m_pTemplate)
            m_pTemplate->DoSaveAs(m_document);
    });
    OnCommandId(cmd::ID_WINDOW_NEW, [this] {
        if (m_pTemplate)
            m_pTemplate->ShowNewFrame(m_document);
    });
}

CMDIChildWnd::~CMDIChildWnd()
{
    // Out of the template's lists first, so that nothing routes to this frame while it goes; a
    // frame destroyed without being closed (its parent went first) lets go of its document too.
    if (m_pTemplate)
        m_pTemplate->OnFrameClosing(*this);
    // The view goes before the document: it may still be reading the document's streams.
    m_pViewTarget = nullptr;
    delete widget();
    m_pLastDocument.reset();
}

void CMDIChildWnd::SetView(QWidget* view, CCmdTarget* target)
{
    setWidget(view);
    m_pViewTarget = target;
}

void CMDIChildWnd::closeEvent(QCloseEvent* event)
{
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted() && m_pTemplate)
        m_pTemplate->OnFrameClosing(*this);
}

// --- CMultiDocTemplate

CMultiDocTemplate::CMultiDocTemplate(const std::string& docString, QMdiArea& area, DocumentFactory makeDocument,
                                     FrameFactory makeFrame)
    : m_docStrings(SplitLines(docString)),
      m_area(area),
      m_makeDocument(std::move(makeDocument)),
      m_makeFrame(std::move(makeFrame))
{
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    for (Entry& entry : m_entries) {
        const std::vector<CMDIChildWnd*> frames = std::exchange(entry.frames, {});
        for (CMDIChildWnd* frame : frames) {
            frame->m_pTemplate = nullptr;
            delete frame;  // its view goes before the document below
        }
    }
    m_entries.clear();
}

std::string CMultiDocTemplate::GetDocString(DocStringIndex index) const
{
    const auto i = static_cast<std::size_t>(index);
    return i < m_docStrings.size() ? m_docStrings[i] : std::string();
}

QString CMultiDocTemplate::GetFilter() const
{
    return QString::fromStdString(GetDocString(filterName)) + QStringLiteral(";;") + QString::fromUtf8(framework_strings::kAllFilesFilter);
}

CDocument* CMultiDocTemplate::CreateNewDocument()
{
    std::unique_ptr<CDocument> doc = m_makeDocument();
    if (!doc)
        return nullptr;
    m_entries.push_back({std::move(doc), {}});
    return m_entries.back().document.get();
}

CMDIChildWnd* CMultiDocTemplate::ShowNewFrame(CDocument& doc)
{
    Entry* entry = Find(doc);
    if (!entry)
        return nullptr;
    std::unique_ptr<CMDIChildWnd> made = m_makeFrame(*this, doc);
    if (!made)
        return nullptr;
    CMDIChildWnd* frame = made.release();  // the area owns it from here
    entry->frames.push_back(frame);
    UpdateFrameTitles(doc);
    frame->OnInitialUpdate();
    m_area.addSubWindow(frame);
    PlaceNewFrame(*frame);
    frame->show();
    m_area.setActiveSubWindow(frame);
    return frame;
}

void CMultiDocTemplate::CloseDocument(CDocument& doc)
{
    Entry* entry = Find(doc);
    if (!entry)
        return;
    if (entry->frames.empty()) {
        Destroy(doc);
        return;
    }
    // Each close hands the document on; the last one takes it away with its frame.
    for (CMDIChildWnd* frame : std::vector<CMDIChildWnd*>(entry->frames))
        frame->close();
}

std::vector<CDocument*> CMultiDocTemplate::GetDocuments() const
{
    std::vector<CDocument*> docs;
    for (const Entry& entry : m_entries)
        docs.push_back(entry.document.get());
    return docs;
}

std::vector<CMDIChildWnd*> CMultiDocTemplate::GetFrames(const CDocument& doc) const
{
    const Entry* entry = Find(doc);
    return entry ? entry->frames : std::vector<CMDIChildWnd*>{};
}

CMDIChildWnd* CMultiDocTemplate::GetActiveFrame() const
{
    // currentSubWindow() stays set while another top-level window (a dialog) has the focus.
    QMdiSubWindow* current = m_area.currentSubWindow();
    for (const Entry& entry : m_entries)
        for (CMDIChildWnd* frame : entry.frames)
            if (frame == current)
                return frame;
    return nullptr;
}

CDocument* CMultiDocTemplate::GetActiveDocument() const
{
    CMDIChildWnd* frame = GetActiveFrame();
    return frame ? &frame->GetDocument() : nullptr;
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const std::filesystem::path& path, CFile* opened)
{
    for (Entry& entry : m_entries) {
        if (!entry.document->GetPathName().empty() && SamePath(entry.document->GetPathName(), path)) {
            if (!entry.frames.empty())
                m_area.setActiveSubWindow(entry.frames.front());
            if (m_pathHook)
                m_pathHook(entry.document->GetPathName());
            return entry.document.get();
        }
    }
    CDocument* doc = CreateNewDocument();
    if (!doc)
        return nullptr;
    if (!doc->OnOpenDocument(path, opened)) {
        Destroy(*doc);
        return nullptr;
    }
    SetPathName(*doc, path);
    ShowNewFrame(*doc);
    return doc;
}

CDocument* CMultiDocTemplate::OpenNewDocument()
{
    CDocument* doc = CreateNewDocument();
    if (!doc)
        return nullptr;
    doc->SetTitle(GetDocString(docName) + std::to_string(++m_nUntitledCount));
    ShowNewFrame(*doc);
    return doc;
}

bool CMultiDocTemplate::DoFileSave(CDocument& doc)
{
    const std::filesystem::path& path = doc.GetPathName();
    // A file that can't be written is saved under another name, as Save As would.
    if (path.empty() || (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0))
        return DoSaveAs(doc);
    return doc.OnSaveDocument(path);
}

bool CMultiDocTemplate::DoSaveAs(CDocument& doc)
{
    const QString proposed = doc.GetPathName().empty() ? QString::fromStdString(ProposedFileName(doc))
                                                       : QString::fromStdString(doc.GetPathName().string());
    const std::optional<std::filesystem::path> chosen = DoPromptFileName(false, proposed);
    if (!chosen || !doc.OnSaveDocument(*chosen))
        return false;
    SetPathName(doc, *chosen);
    return true;
}

std::string CMultiDocTemplate::ProposedFileName(const CDocument& doc) const
{
    std::string name = doc.GetTitle();
    name = name.substr(0, name.find_first_of(" #%;/\\"));
    return name + GetDocString(filterExt);
}

std::optional<std::filesystem::path> CMultiDocTemplate::DoPromptFileName(bool bOpen, const QString& proposed) const
{
    QWidget* parent = m_area.window();
    return m_fileDialog ? m_fileDialog(parent, bOpen, proposed, GetFilter())
                        : RunQtFileDialog(parent, bOpen, proposed, GetFilter());
}

void CMultiDocTemplate::UpdateFrameTitles(const CDocument& doc) const
{
    const Entry* entry = Find(doc);
    if (!entry)
        return;
    const QString title = QString::fromStdString(doc.GetTitle());
    const std::size_t count = entry->frames.size();
    for (std::size_t i = 0; i < count; ++i)
        entry->frames[i]->setWindowTitle(count == 1 ? title : title + QStringLiteral(":%1").arg(i + 1));
}

CMultiDocTemplate::Entry* CMultiDocTemplate::Find(const CDocument& doc)
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&doc](const Entry& entry) { return entry.document.get() == &doc; });
    return it == m_entries.end() ? nullptr : &*it;
}

const CMultiDocTemplate::Entry* CMultiDocTemplate::Find(const CDocument& doc) const
{
    return const_cast<CMultiDocTemplate*>(this)->Find(doc);
}

void CMultiDocTemplate::Destroy(const CDocument& doc)
{
    std::erase_if(m_entries, [&doc](const Entry& entry) { return entry.document.get() == &doc; });
}

void CMultiDocTemplate::SetPathName(CDocument& doc, const std::filesystem::path& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    doc.SetPathName(ec ? path : absolute);
    UpdateFrameTitles(doc);
    if (m_pathHook)
        m_pathHook(doc.GetPathName());
}

void CMultiDocTemplate::PlaceNewFrame(CMDIChildWnd& frame)
{
    const QSize area = m_area.viewport()->size();
    // Three quarters of the area, as the platform's default child size is.
    const QSize wanted = area.expandedTo(QSize(320, 240)) * 3 / 4;
    const int nCaption = frame.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &frame);
    // Placed by hand, the area leaves the window where it is when it shows.
    frame.setGeometry(m_cascade.Next(area, wanted, nCaption));
}

void CMultiDocTemplate::OnFrameClosing(CMDIChildWnd& frame)
{
    Entry* entry = Find(frame.GetDocument());
    if (!entry)
        return;
    std::erase(entry->frames, &frame);
    frame.m_pTemplate = nullptr;
    if (entry->frames.empty()) {
        frame.m_pLastDocument = std::move(entry->document);
        std::erase_if(m_entries, [](const Entry& e) { return !e.document; });
    } else {
        UpdateFrameTitles(*entry->document);
    }
}
