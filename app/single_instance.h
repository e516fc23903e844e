#pragma once

#include <QObject>
#include <QWidget>
#include <type_traits>

// One instance per form class: each form class has one global reference (frm001, frm002, ...),
// filled when the form is created and cleared when it is gone, and a second command brings the
// open form to the front instead of creating another.
namespace app {

// The window that carries `form` on screen: its MDI sub-window, or the form itself.
QWidget* formWindow(QWidget* form);
// Shows the form (restoring it when minimised), raises and activates it.
void bringToFront(QWidget* form);
// True for a form that was closed and only waits to be deleted: it counts as gone.
bool isClosing(QWidget* form);
// Deletes a closed form at once (its window with it), which clears its reference.
void discardClosed(QWidget* form);

// Makes `ref` follow `form`: filled now, cleared when the form is destroyed.
template <class T>
void trackInstance(T*& ref, T* form) {
    ref = form;
    QObject::connect(form, &QObject::destroyed, [&ref, form] {
        if (ref == form) ref = nullptr;
    });
}

// Creates the form through `create` when `ref` is empty (or holds a form already closed),
// then brings it to the front. `create` returns the new form, ready to be shown (an MDI form
// already added to the MDI area). Forms free themselves on close.
template <class T, class Create>
T* showSingle(T*& ref, Create&& create) {
    if (ref && isClosing(ref)) discardClosed(ref);
    if (!ref) {
        T* form = create();
        if (!form) return nullptr;
        formWindow(form)->setAttribute(Qt::WA_DeleteOnClose);
        trackInstance(ref, form);
    }
    T* form = ref;
    bringToFront(form);
    return form;
}

}  // namespace app
