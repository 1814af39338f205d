#include "tests/framework/probe_dialog.h"

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_MESSAGE(WM_PROBE_ONE, &ProbeDialog::OnProbeOne)
    ON_MESSAGE(WM_PROBE_TWO, &ProbeDialog::OnProbeTwo)
    ON_MESSAGE(WM_PROBE_RUN, &ProbeDialog::OnProbeRun)
    ON_MESSAGE(WM_PROBE_END, &ProbeDialog::OnProbeEnd)
    ON_BN_CLICKED(IDC_PROBE_BUTTON, &ProbeDialog::OnPress)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(DerivedProbeDialog, ProbeDialog)
    ON_MESSAGE(WM_PROBE_ONE, &DerivedProbeDialog::OnProbeOne)
    ON_BN_CLICKED(IDC_PROBE_BUTTON, &DerivedProbeDialog::OnDerivedPress)
END_MESSAGE_MAP()
