// Placeholder so the folder has a source; removed when the display device lands.
