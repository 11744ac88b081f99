#pragma once
// How the Qt dialog service sets up its file dialogs and reads them back,
// apart from showing them, so that tests can check both sides.

#include "platform/ui/DialogService.h"

class QFileDialog;

enum class FileDialogMode { Open, Save };

void ConfigureFileDialog(QFileDialog& dialog, const TFileDialogOptions& options, FileDialogMode mode);
TFileDialogResult FileDialogResultOf(const QFileDialog& dialog);
// Folders only, opening at FolderBrowseStart; navigating above the root
// goes back to the root.
void ConfigureFolderBrowser(QFileDialog& dialog, const TFolderBrowseOptions& options);
