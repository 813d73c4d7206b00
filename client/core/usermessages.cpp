#include "usermessages.h"

#include "screensizedbox.h"

#include <QInputDialog>

#include <cstdio>
#include <cstdlib>

namespace {

QMessageBox::StandardButton showModalBox(QWidget *parent, const MessageRequest &request)
{
    QMessageBox box(parent);
    box.setText(request.text);
    box.setStandardButtons(request.buttons);
    box.setDefaultButton(request.defaultButton);
    sizeLikeScreen(box, parent);
    return QMessageBox::StandardButton(box.exec());
}

QString askModalText(QWidget *parent, const TextRequest &request)
{
    QInputDialog box(parent);
    box.setWindowTitle(request.title);
    box.setLabelText(request.prompt);
    sizeLikeScreen(box, parent);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

UserMessages::Presenter &presenter()
{
    static UserMessages::Presenter current = showModalBox;
    return current;
}

UserMessages::TextPresenter &textPresenter()
{
    static UserMessages::TextPresenter current = askModalText;
    return current;
}

ProgramExit::Handler &exitHandler()
{
    // The screens call this from deep inside nested event loops; ending the
    // process at once keeps any of them from running on after the exit.
    static ProgramExit::Handler current = [](int status) {
        std::fflush(nullptr);
        std::_Exit(status);
    };
    return current;
}

} // namespace

void UserMessages::show(QWidget *parent, const QString &text)
{
    presenter()(parent, {text, QMessageBox::Ok, QMessageBox::Ok});
}

QMessageBox::StandardButton UserMessages::ask(QWidget *parent, const QString &text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    return presenter()(parent, {text, buttons, defaultButton});
}

QString UserMessages::askText(QWidget *parent, const QString &title, const QString &prompt)
{
    return textPresenter()(parent, {title, prompt});
}

void UserMessages::setPresenter(Presenter replacement)
{
    presenter() = replacement ? std::move(replacement) : Presenter(showModalBox);
}

void UserMessages::setTextPresenter(TextPresenter replacement)
{
    textPresenter() = replacement ? std::move(replacement) : TextPresenter(askModalText);
}

void ProgramExit::exit(int status)
{
    exitHandler()(status);
}

void ProgramExit::setHandler(Handler handler)
{
    exitHandler() = std::move(handler);
}
