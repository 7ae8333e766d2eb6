// Placeholder so the target has a source; removed when the virtual backend lands.
