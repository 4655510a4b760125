# Precompiled headers: the Qt and GoogleTest headers that nearly every source includes are
# parsed once per kind of target instead of once per source. The first target of a kind
# makes the header; the others of that kind reuse it. Where a target's flags differ from the
# maker's (another Qt module, another QT_TESTCASE_BUILDDIR), GCC parses the headers as usual
# and -Winvalid-pch says so without failing the build. QEV_PCH=OFF builds without.

set(qev_pch_core
    <QByteArray> <QCoreApplication> <QDir> <QElapsedTimer> <QFile> <QFileInfo> <QHostAddress>
    <QList> <QObject> <QString> <QStringList> <QTimer> <QUdpSocket>
    <algorithm> <array> <functional> <memory> <optional> <span> <vector>)
set(qev_pch_widgets
    <QApplication> <QComboBox> <QGroupBox> <QLabel> <QLineEdit> <QMessageBox> <QPainter>
    <QPushButton> <QSpinBox> <QTabWidget> <QWidget>)
set(qev_pch_gtest <gtest/gtest.h> <gmock/gmock.h>)

if(QEV_PCH AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(qev_options INTERFACE -Winvalid-pch -Wno-error=invalid-pch)
endif()

# qev_precompile(target KIND): KIND is core, gui, test_core or test_gui.
function(qev_precompile target kind)
    if(NOT QEV_PCH)
        return()
    endif()
    get_property(owner GLOBAL PROPERTY qev_pch_owner_${kind})
    if(owner)
        target_precompile_headers(${target} REUSE_FROM ${owner})
        return()
    endif()
    set_property(GLOBAL PROPERTY qev_pch_owner_${kind} ${target})
    set(headers ${qev_pch_core})
    if(kind MATCHES "gui")
        list(APPEND headers ${qev_pch_widgets})
    endif()
    if(kind MATCHES "^test_")
        list(APPEND headers ${qev_pch_gtest})
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
