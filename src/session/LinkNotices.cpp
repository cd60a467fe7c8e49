#include "session/LinkNotices.h"

#include "link/MsrwDLL.h"
#include "link/OperatorDialogs.h"

namespace msrw {

void ShowLinkNotices(MsrwDLL& link, OperatorDialogs& dialogs) {
    QObject::connect(&link, &MsrwDLL::Notice, &link, [&dialogs](const OperatorNotice& notice) {
        dialogs.showMessage(notice.text, notice.icon);
    });
    QObject::connect(&link, &MsrwDLL::PortLost, &link, [&dialogs](const QString& message) {
        dialogs.showMessage(message.toStdString(), MessageIcon::Warning);
    });
}

} // namespace msrw
