#include "ui/zephran_app.h"

#include "app/app_startup.h"
#include "app/sheet.h"
#include "ui/main_window.h"
#include "ui/operator_dialogs.h"

int CZephranApp::InitInstance(QApplication& app) {
    SingleInstanceGuard guard;
    if (!BeginApplication(guard, QApplication::arguments())) {
        MessageRequest request;
        request.text = QString::fromLatin1(SingleInstanceGuard::kAnotherInstanceText);
        request.caption = QString::fromLatin1(CSheet::kCaption);
        request.icon = MessageIcon::Information;
        OperatorDialogs::ShowMessage(nullptr, request);
        return 0;
    }

    MainWindow window;
    window.OnInitDialog();
    if (!window.Sheet().StartupFatalError().isEmpty()) {
        // The library lacks an export the tool cannot work without; the sheet has shown why.
        return 1;
    }
    window.show();
    return app.exec();
}
