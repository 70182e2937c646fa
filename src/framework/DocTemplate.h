// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The multi-document template: it owns the open documents (in creation order), makes their child
// frames inside the main window's QMdiArea, and carries out the framework's file operations (open
// by path, the untitled "KVT1, KVT2, ..." documents, Save and Save As with the file dialog).
//
// Documents made by commands (shadows, stacked streams) use three calls:
//     CDocument* doc = tmpl.CreateNewDocument();   // no window yet, last in creation order
//     doc->SetTitle(...); /* fill it */
//     tmpl.ShowNewFrame(*doc);                     // frame + view, initial update, shown, active
// or, when filling fails, tmpl.CloseDocument(*doc), which destroys a windowless document at once.
// GetDocuments() lists the documents in creation order and GetActiveDocument() is the document of
// the active child window. The documents are the factory's class: cast them to it.
//
// A document lives while it has frames; when its last frame closes it leaves the template's list at
// once and is destroyed right after that frame's view, so no view ever outlives its document.

#include <QMdiSubWindow>
#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/ChildCascade.h"
#include "framework/CmdTarget.h"
#include "framework/Document.h"

class QMdiArea;
class CMultiDocTemplate;

// One window of one document, holding its view. It carries out the commands that act on its
// document (Close, Save, Save As, New Window); the document decides whether Save is offered.
class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget {
public:
    CMDIChildWnd(CMultiDocTemplate& docTemplate, CDocument& doc);
    ~CMDIChildWnd() override;

    CDocument& GetDocument() const { return m_document; }
    // The view, first on the command route; null until a derived frame has set it.
    CCmdTarget* GetActiveView() const { return m_pViewTarget; }

    // The view's first update, run once by the template before the frame is shown.
    virtual void OnInitialUpdate() = 0;

protected:
    // Puts `view` in the frame, which destroys it before its document. `target` is the same
    // object seen as a command target.
    void SetView(QWidget* view, CCmdTarget* target);
    void closeEvent(QCloseEvent* event) override;

private:
    friend class CMultiDocTemplate;
    CMultiDocTemplate* m_pTemplate;  // null once the template has let go of this frame
    CDocument& m_document;
    CCmdTarget* m_pViewTarget = nullptr;
    // The document, handed over when this frame was its last one, so it dies after the view.
    std::unique_ptr<CDocument> m_pLastDocument;
};

class CMultiDocTemplate : public QObject {
public:
    // The fields of the document string, separated there by new-line characters.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<std::unique_ptr<CMDIChildWnd>(CMultiDocTemplate&, CDocument&)>;
    // Asks the user for a file: `proposed` is the name or path offered, `filter` the Qt filter
    // string. Returns the chosen path, or nothing when the user cancelled.
    using FileDialogFunction = std::function<std::optional<std::filesystem::path>(
        QWidget* parent, bool bOpen, const QString& proposed, const QString& filter)>;
    // Told about every path a document was opened from or saved to (the recent-file list).
    using PathHook = std::function<void(const std::filesystem::path&)>;

    CMultiDocTemplate(const std::string& docString, QMdiArea& area, DocumentFactory makeDocument,
                      FrameFactory makeFrame);
    // Closes every frame, then destroys the documents that are left.
    ~CMultiDocTemplate() override;
    CMultiDocTemplate(const CMultiDocTemplate&) = delete;
    CMultiDocTemplate& operator=(const CMultiDocTemplate&) = delete;

    std::string GetDocString(DocStringIndex index) const;
    // "KVT 檔案 (*.kvt);;所有文件 (*.*)": the template's filter, then all files.
    QString GetFilter() const;

    // --- Documents
    // A new untitled document without a window, last in creation order.
    CDocument* CreateNewDocument();
    // A child frame with a view of `doc`: initial update, then shown and activated.
    CMDIChildWnd* ShowNewFrame(CDocument& doc);
    // Closes every frame of `doc`; a document without frames is destroyed at once.
    void CloseDocument(CDocument& doc);
    std::vector<CDocument*> GetDocuments() const;
    std::vector<CMDIChildWnd*> GetFrames(const CDocument& doc) const;
    CMDIChildWnd* GetActiveFrame() const;
    CDocument* GetActiveDocument() const;

    // --- File operations
    // Opens the file at `path` in a new document with its window, or activates the window of the
    // document already open from it. `opened`, when given, is that file already open: the load
    // reads it rather than the name again. Null, after the document's own message, when loading
    // failed.
    CDocument* OpenDocumentFile(const std::filesystem::path& path, CFile* opened = nullptr);
    // A new empty document titled with the document name and a running number, in its window.
    CDocument* OpenNewDocument();
    // Save: to the document's path, or through the Save As dialog when it has none.
    bool DoFileSave(CDocument& doc);
    // Save As: asks for a name, offering the document's path or ProposedFileName().
    bool DoSaveAs(CDocument& doc);
    // The name offered for a document without a path: its title cut before the first blank or any
    // of # % ; / \, followed by the filter extension.
    std::string ProposedFileName(const CDocument& doc) const;
    // Runs the file dialog for Open (bOpen) or Save As.
    std::optional<std::filesystem::path> DoPromptFileName(bool bOpen, const QString& proposed) const;

    // Replaces the QFileDialog (tests); an empty function restores it.
    void SetFileDialog(FileDialogFunction dialog) { m_fileDialog = std::move(dialog); }
    void SetPathHook(PathHook hook) { m_pathHook = std::move(hook); }

    // Frames are titled after their document, "title:n" when it has several windows.
    void UpdateFrameTitles(const CDocument& doc) const;

private:
    friend class CMDIChildWnd;
    struct Entry {
        std::unique_ptr<CDocument> document;
        std::vector<CMDIChildWnd*> frames;
    };
    Entry* Find(const CDocument& doc);
    const Entry* Find(const CDocument& doc) const;
    void Destroy(const CDocument& doc);
    void SetPathName(CDocument& doc, const std::filesystem::path& path);
    void OnFrameClosing(CMDIChildWnd& frame);
    void PlaceNewFrame(CMDIChildWnd& frame);

    std::vector<std::string> m_docStrings;
    QMdiArea& m_area;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    FileDialogFunction m_fileDialog;
    PathHook m_pathHook;
    std::vector<Entry> m_entries;  // creation order
    int m_nUntitledCount = 0;
    CChildCascade m_cascade;
};
