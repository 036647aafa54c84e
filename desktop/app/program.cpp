#include "desktop/app/program.h"

#include "desktop/about/about_window.h"
#include "desktop/appearance/appearance.h"
#include "desktop/main_window/main_window.h"
#include "desktop/log_window/log_window.h"

#include <QApplication>

namespace trellisk {

Program::Program(ProgramOptions options, Dialogs& dialogs, const Clock& clock)
    : monitor_(settings_, log_, windowInterface_, clock) {
    QApplication::setFont(UiFont(12));
    form1_ = std::make_unique<TForm1>(settings_, monitor_, log_, clock, dialogs,
                                      std::move(options.settingsFileName), options.trayAvailable);
    form2_ = std::make_unique<TForm2>(log_);
    form2_->setObjectName(QStringLiteral("Form2"));
    form3_ = std::make_unique<TForm3>(form1_.get(), std::move(options.documentation));
    windowInterface_.attach(*form1_, *form2_);
    form1_->attachForms(*form2_, *form3_);
    // exit(), not quit(): quit() asks every window to close, and the log window refuses.
    QObject::connect(form1_.get(), &TForm1::closed, form1_.get(),
                     [] { QCoreApplication::exit(0); });
}

Program::~Program() = default;

} // namespace trellisk
