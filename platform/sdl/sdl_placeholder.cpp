// Placeholder so the target has a source; removed when the real backend lands.
