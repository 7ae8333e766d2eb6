// Placeholder so the folder has a source; removed when the pack reader lands.
