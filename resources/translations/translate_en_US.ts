<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>DiyForm</name>
    <message>
        <source>Airal Black</source>
        <translation>Arial Black</translation>
    </message>
    <message>
        <source>DIY图形</source>
        <translation>DIY Drawing</translation>
    </message>
    <message>
        <source>dialog_title_tip</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>diyform_cancel_diy_title</source>
        <translation>Do you really want to discard this DIY effect?</translation>
    </message>
    <message>
        <source>diyform_lblfont_title</source>
        <translation>Font: %1
Size: %2</translation>
    </message>
    <message>
        <source>diyform_save_diy_selectfile</source>
        <translation>Save the DIY effect</translation>
    </message>
    <message>
        <source>diyform_save_diy_tip</source>
        <translation>Do you want to save the DIY effect to the computer?</translation>
    </message>
    <message>
        <source>半径：</source>
        <translation>Radius:</translation>
    </message>
    <message>
        <source>圆矩</source>
        <translation>Rounded</translation>
    </message>
    <message>
        <source>垂直排列</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>填充颜色：</source>
        <translation>Fill color:</translation>
    </message>
    <message>
        <source>字体颜色：</source>
        <translation>Font color:</translation>
    </message>
    <message>
        <source>字体：</source>
        <translation>Font:</translation>
    </message>
    <message>
        <source>实线</source>
        <translation>Solid line</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>擦写</source>
        <translation>Erase</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>放弃DIY效果</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>文字排列方式：</source>
        <translation>Text layout:</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>椭圆</source>
        <translation>Oval</translation>
    </message>
    <message>
        <source>水平排列</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>点线</source>
        <translation>Dotted line</translation>
    </message>
    <message>
        <source>环形排列</source>
        <translation>Circular</translation>
    </message>
    <message>
        <source>画图工具</source>
        <translation>Drawing tools</translation>
    </message>
    <message>
        <source>画完了</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>画笔</source>
        <translation>Pen</translation>
    </message>
    <message>
        <source>画笔类型：</source>
        <translation>Line style:</translation>
    </message>
    <message>
        <source>画笔线宽：</source>
        <translation>Line width:</translation>
    </message>
    <message>
        <source>擦写宽度：</source>
        <translation>Eraser width:</translation>
    </message>
    <message>
        <source>画笔颜色：</source>
        <translation>Pen color:</translation>
    </message>
    <message>
        <source>直线</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>矩形</source>
        <translation>Rect</translation>
    </message>
    <message>
        <source>移动</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>背景颜色：</source>
        <translation>Background color:</translation>
    </message>
    <message>
        <source>选择DIY样式：</source>
        <translation>DIY style:</translation>
    </message>
    <message>
        <source>选择字体</source>
        <translation>Select Font</translation>
    </message>
    <message>
        <source>diyform_save_failed</source>
        <translation>The picture could not be saved to %1.</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Images (*.png)</source>
        <translation>Images (*.png)</translation>
    </message>
    <message>
        <source>diyform_open_failed</source>
        <translation>The picture %1 cannot be read, so it cannot be edited.</translation>
    </message>
</context>
<context>
    <name>FileFilters</name>
    <message>
        <source>All files</source>
        <translation>All files</translation>
    </message>
</context>
<context>
    <name>GetImgeLocationDialog</name>
    <message>
        <source>放大图片</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>缩小图片</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>GetSaveFileDialog</name>
    <message>
        <source>dialog_title_tip</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>savefile_invalid_name</source>
        <translation>This name cannot be used for a file: %1</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>请输入保存的文件名</source>
        <translation>Please enter the file name!</translation>
    </message>
    <message>
        <source>请输入保存的文件名！</source>
        <translation>Please enter the file name!</translation>
    </message>
</context>
<context>
    <name>ImageObjectWidget</name>
    <message>
        <source>imgwidget_lbl_text2</source>
        <translation>%1 </translation>
    </message>
    <message>
        <source>imgwidget_lbl_text3</source>
        <translation> </translation>
    </message>
    <message>
        <source>imgwidget_lbl_text4</source>
        <translation>s</translation>
    </message>
</context>
<context>
    <name>ListImageItemDelegate</name>
    <message>
        <source>imgwidget_lbl_text2</source>
        <translation>%1 </translation>
    </message>
    <message>
        <source>imgwidget_lbl_text3</source>
        <translation> </translation>
    </message>
    <message>
        <source>imgwidget_lbl_text4</source>
        <translation>s</translation>
    </message>
</context>
<context>
    <name>ListMediaItemDelegate</name>
    <message>
        <source>videowidget_lbl_loopcount</source>
        <translation>Loops</translation>
    </message>
    <message numerus="yes">
        <source>videowidget_lbl_text</source>
        <translation>
            <numerusform>%n picture, %1 s</numerusform>
            <numerusform>%n pictures, %1 s</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LoadGifDialog</name>
    <message>
        <source>loadgif_cutting_title</source>
        <translation>Cutting the GIF</translation>
    </message>
    <message>
        <source>action_btn_cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>dialog_title_tip</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>loadgif_loading_tip</source>
        <translation>Importing the GIF…</translation>
    </message>
    <message>
        <source>loadgif_read_error</source>
        <translation>This file cannot be read as a GIF picture; no clip was added.</translation>
    </message>
    <message>
        <source>loadgif_save_error</source>
        <translation>A frame picture could not be saved (is the disk full?); no clip was added.</translation>
    </message>
    <message>
        <source>loadgif_damaged</source>
        <translation>Frame %1 of the GIF is damaged: the clip ends before it, with %2 frames.</translation>
    </message>
    <message>
        <source>loadgif_too_long</source>
        <translation>The GIF gives more frames than a clip can hold: the clip keeps the first %1.</translation>
    </message>
    <message>
        <source>loadgif_keep_speed</source>
        <translation>Keep the GIF's speed (one frame every 100 ms)</translation>
    </message>
</context>
<context>
    <name>LoadImagesDialog</name>
    <message>
        <source>action_btn_cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>action_btn_load_over</source>
        <translation>Import completed</translation>
    </message>
    <message>
        <source>dialog_title_tip</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>loadimg_failed_files</source>
        <translation>These files could not be read as pictures:
%1</translation>
    </message>
    <message>
        <source>loadimg_loading_showpath</source>
        <translation>Path and file name: %1</translation>
    </message>
    <message>
        <source>loadimg_loading_tip</source>
        <translation>Importing picture %1 of %2</translation>
    </message>
    <message>
        <source>loadimg_window_title</source>
        <translation>Import Image</translation>
    </message>
</context>
<context>
    <name>LoadMediaDialog</name>
    <message>
        <source>loadvideo_cutting_title</source>
        <translation>Cutting the video</translation>
    </message>
    <message>
        <source>Medias (*.avi *.rmvb *.mp4 *.mkv)</source>
        <translation>Videos (*.avi *.rmvb *.mp4 *.mkv)</translation>
    </message>
    <message>
        <source>%1hour%2minute%3second</source>
        <translation>%1H %2M %3S</translation>
    </message>
    <message>
        <source>dialog_title_tip</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>loadvideo_init_player_error</source>
        <translation>Failed to initialize, cannot play video!</translation>
    </message>
    <message>
        <source>loadvideo_loading_tip</source>
        <translation>Capturing frames… </translation>
    </message>
    <message>
        <source>loadvideo_player_error</source>
        <translation>Failed to play!</translation>
    </message>
    <message>
        <source>loadvideo_select_file</source>
        <translation>Select the video file</translation>
    </message>
    <message>
        <source>loadvideo_tip</source>
        <translation>Import video</translation>
    </message>
    <message>
        <source>loadvideo_tip2</source>
        <translation>Import video - </translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>开始截图</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>开始时间：</source>
        <translation>Start Time:</translation>
    </message>
    <message>
        <source>拖动时间进度条可以设定截图的开始时间和结束时间：</source>
        <translation>Drag the time sliders to set the start and end time of the capture:</translation>
    </message>
    <message>
        <source>结束时间：</source>
        <translation>End Time:</translation>
    </message>
    <message>
        <source>loadvideo_too_long</source>
        <translation>The chosen stretch gives %1 frames, but a clip holds at most %2. Please choose a shorter stretch.</translation>
    </message>
    <message>
        <source>loadvideo_no_frames</source>
        <translation>No frame could be read from the chosen stretch; no clip was added.</translation>
    </message>
    <message>
        <source>loadvideo_checking</source>
        <translation>Checking how much of the video can be read…</translation>
    </message>
    <message>
        <source>loadvideo_shorter</source>
        <translation>The file claims to last %1 s, but only its first %2 s can be read. The sliders offer what can be read.</translation>
    </message>
    <message>
        <source>loadvideo_save_error</source>
        <translation>A frame picture could not be saved (is the disk full?); no clip was added.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Hologram Display</source>
        <translation>Hologram Display</translation>
    </message>
    <message>
        <source>开机U盘扫描</source>
        <translation>USB drive scan at start-up</translation>
    </message>
    <message>
        <source>U盘准备就绪！</source>
        <translation>USB drive ready!</translation>
    </message>
    <message>
        <source>image Files (*.png *.jpg)</source>
        <translation>Image files (*.png *.jpg)</translation>
    </message>
    <message>
        <source>LED数量被修改.</source>
        <translation>The LED count will be changed.</translation>
    </message>
    <message>
        <source>分辨率被修改.</source>
        <translation>The resolution will be changed.</translation>
    </message>
    <message>
        <source>所有的打开的图片效果将会被删除，是否继续？</source>
        <translation>All pictures and clips in the playlists will be removed. Continue?</translation>
    </message>
    <message>
        <source> Ver: %1</source>
        <translation> Ver: %1</translation>
    </message>
    <message>
        <source>action_title_default</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>action_title_download</source>
        <translation>Download To SD</translation>
    </message>
    <message>
        <source>action_title_download_local</source>
        <translation>Download To Local</translation>
    </message>
    <message>
        <source>action_title_import_gif</source>
        <translation>Import GIF Picture</translation>
    </message>
    <message>
        <source>action_title_import_video</source>
        <translation>Import Video</translation>
    </message>
    <message>
        <source>action_title_menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>action_title_new_diy</source>
        <translation>New DIY</translation>
    </message>
    <message>
        <source>action_title_open_image</source>
        <translation>Import Picture</translation>
    </message>
    <message>
        <source>action_title_preview</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>dialog_title_download_busy</source>
        <translation>A download is in progress; the playlist cannot be changed until it has finished.</translation>
    </message>
    <message>
        <source>dialog_title_download_fail</source>
        <translation>Download failed: %1</translation>
    </message>
    <message>
        <source>dialog_title_download_suc</source>
        <translation>Download success: %1</translation>
    </message>
    <message>
        <source>dialog_title_downloading</source>
        <translation>Downloading the effect…</translation>
    </message>
    <message>
        <source>dialog_title_load_gif</source>
        <translation>Import GIF file</translation>
    </message>
    <message>
        <source>dialog_title_load_picture</source>
        <translation>Import Picture File</translation>
    </message>
    <message>
        <source>dialog_title_not_find_default</source>
        <translation>The system default file does not exist!</translation>
    </message>
    <message>
        <source>dialog_title_preview_error1</source>
        <translation>There is no effect file on this USB drive; please select another one.</translation>
    </message>
    <message>
        <source>dialog_title_reading_sys</source>
        <translation>Reading the default file…</translation>
    </message>
    <message>
        <source>dialog_title_reading_usb</source>
        <translation>Reading data from the USB drive…</translation>
    </message>
    <message>
        <source>dialog_title_tip</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>menu_title_tools</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>删除图片</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>删除视频</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>图片列表</source>
        <translation>Picture List</translation>
    </message>
    <message>
        <source>图片最多只能包含%1张图片！</source>
        <translation>The picture list can hold at most %1 pictures!</translation>
    </message>
    <message>
        <source>编辑图片</source>
        <translation>Picture editing</translation>
    </message>
    <message>
        <source>编辑视频</source>
        <translation type="vanished">Edit</translation>
    </message>
    <message>
        <source>视频列表</source>
        <translation>Video List</translation>
    </message>
    <message>
        <source>调整对比度</source>
        <translation>Adjust contrast</translation>
    </message>
    <message>
        <source>menu_title_edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>action_title_undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>action_title_redo</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>action_title_paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>dialog_title_drop_not_taken</source>
        <translation>These files were not taken:
%1

Pictures, GIFs, videos, one effect file (.bin) or one show file can be dropped or pasted here.</translation>
    </message>
    <message>
        <source>name_pasted_picture</source>
        <translation>Pasted picture</translation>
    </message>
    <message>
        <source>dialog_title_reading_file</source>
        <translation>Reading the effect file…</translation>
    </message>
    <message>
        <source>颜色调试参数</source>
        <translation>Colour correction</translation>
    </message>
    <message>
        <source>dialog_text_work_directory_failed</source>
        <translation>The program cannot create its work directory in %1 (%2). Free some disk space or check the permissions of that folder, then start the program again.</translation>
    </message>
    <message>
        <source>dialog_title_read_cannot_open</source>
        <translation>The effect file %1 cannot be opened (%2). The playlist was left as it was.</translation>
    </message>
    <message>
        <source>dialog_title_read_too_short</source>
        <translation>The effect file %1 is too short to hold an effect (%2 bytes). The playlist was left as it was.</translation>
    </message>
    <message>
        <source>dialog_title_read_wrong_length</source>
        <translation>The effect file %1 does not fit a display of %2 LEDs and %3 lines, so it was not read. The playlist was left as it was.</translation>
    </message>
    <message>
        <source>dialog_title_read_damaged</source>
        <translation>The effect file %1 cannot be read (%2). The playlist was left as it was.</translation>
    </message>
    <message>
        <source>dialog_title_read_replace</source>
        <translation>The pictures and clips in the playlist will be replaced by the effect read from the file and will be lost. Continue?</translation>
    </message>
    <message>
        <source>dialog_title_playlist_in_use</source>
        <translation>The playlist is still in use by a read, a contrast change or a save; please try again in a moment.</translation>
    </message>
    <message>
        <source>action_title_led_count</source>
        <translation>Change the LED count…</translation>
    </message>
    <message>
        <source>action_title_line_number</source>
        <translation>Change the resolution…</translation>
    </message>
    <message>
        <source>recovery_offer_text</source>
        <translation>The program ended without closing last time, while you were working on a show. A copy of it saved on %1 at %2 can be restored. Restore it? Discard removes the copy; Not now keeps it for the next start.</translation>
    </message>
    <message>
        <source>recovery_restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>recovery_later</source>
        <translation>Not now</translation>
    </message>
    <message>
        <source>recovery_restoring</source>
        <translation>Restoring the show…</translation>
    </message>
    <message>
        <source>recovery_failed</source>
        <translation>The saved copy of the show could not be restored (%1). It has been removed.</translation>
    </message>
    <message>
        <source>action_title_play_show</source>
        <translation>Play show</translation>
    </message>
    <message>
        <source>action_title_text_clip</source>
        <translation>Text clip</translation>
    </message>
    <message>
        <source>action_btn_edit_text_clip</source>
        <translation>Edit text</translation>
    </message>
    <message>
        <source>dialog_title_replace_file</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
    <message>
        <source>dialog_title_pictures_left_out</source>
        <translation>The picture list holds at most %1 pictures: %2 of the chosen files were left out.</translation>
    </message>
    <message>
        <source>status_geometry</source>
        <translation>Display: %1 LEDs x %2 lines</translation>
    </message>
    <message>
        <source>geometry_allowed_range</source>
        <translation>Enter a whole number from 1 to %1.</translation>
    </message>
    <message>
        <source>geometry_new_value</source>
        <translation>It changes from %1 to %2.</translation>
    </message>
    <message>
        <source>geometry_convert_question</source>
        <translation>The pictures and clips in the playlists were made for the old geometry. Convert them from their sources for the new one, or clear the lists?</translation>
    </message>
    <message>
        <source>geometry_no_source</source>
        <translation>%1 pictures and %2 clips were read back from an effect file and have no source: they cannot be converted. Remove them and convert the rest?</translation>
    </message>
    <message>
        <source>action_btn_convert</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>action_btn_clear_lists</source>
        <translation>Clear the lists</translation>
    </message>
    <message>
        <source>action_btn_remove_unconvertible</source>
        <translation>Remove them</translation>
    </message>
    <message>
        <source>action_btn_keep_items</source>
        <translation>Keep as they are</translation>
    </message>
    <message>
        <source>conversion_progress</source>
        <translation>Converting the playlists…</translation>
    </message>
    <message>
        <source>conversion_failed</source>
        <translation>The playlists could not be converted; they are left as they were.</translation>
    </message>
    <message>
        <source>sampling_now_smooth</source>
        <translation>New pictures will be sampled smoothly.</translation>
    </message>
    <message>
        <source>sampling_now_sharp</source>
        <translation>New pictures will be sampled sharply.</translation>
    </message>
    <message>
        <source>sampling_convert_question</source>
        <translation>Convert the %1 pictures and clip frames already in the playlists the same way?</translation>
    </message>
    <message>
        <source>conversion_clears_history</source>
        <translation>Converting clears the edit history: earlier changes can no longer be undone.</translation>
    </message>
    <message>
        <source>sampling_no_source</source>
        <translation>%1 items read back from an effect file have no source and keep their sampling.</translation>
    </message>
    <message>
        <source>dialog_title_switch_geometry</source>
        <translation>This effect file was made for a display of %1 LEDs and %2 lines. Read it with that geometry?</translation>
    </message>
    <message>
        <source>action_tip_new_diy</source>
        <translation>Draw a new picture of your own and add it to the picture list</translation>
    </message>
    <message>
        <source>action_tip_open_image</source>
        <translation>Add picture files to the picture list</translation>
    </message>
    <message>
        <source>action_tip_import_video</source>
        <translation>Cut a clip from a video file and add it to the video list</translation>
    </message>
    <message>
        <source>action_tip_import_gif</source>
        <translation>Add the frames of a GIF animation to the video list</translation>
    </message>
    <message>
        <source>action_tip_download</source>
        <translation>Write the show as an effect file to the memory card of the display</translation>
    </message>
    <message>
        <source>action_tip_download_local</source>
        <translation>Save the show as an effect file in a folder on this computer</translation>
    </message>
    <message>
        <source>action_tip_play_show</source>
        <translation>Play the whole show in the preview; press again or Esc to stop (F5)</translation>
    </message>
    <message>
        <source>tip_language_zh_CN</source>
        <translation>简体中文 – Simplified Chinese</translation>
    </message>
    <message>
        <source>tip_language_zh_HK</source>
        <translation>繁體中文 – Traditional Chinese</translation>
    </message>
    <message>
        <source>tip_language_en_US</source>
        <translation>English</translation>
    </message>
    <message>
        <source>tip_language_jp</source>
        <translation>日本語 – Japanese</translation>
    </message>
</context>
<context>
    <name>MediaObjectWidget</name>
    <message>
        <source>videowidget_lbl_loopcount</source>
        <translation>Loops</translation>
    </message>
    <message numerus="yes">
        <source>videowidget_lbl_text</source>
        <translation>
            <numerusform>%n picture, %1 s</numerusform>
            <numerusform>%n pictures, %1 s</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>action_btn_cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>dialog_title_tip</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>progress_done_of_total</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>progress_seconds_left</source>
        <translation>(about %1 s left)</translation>
    </message>
</context>
<context>
    <name>SelectUsbPathDialog</name>
    <message>
        <source>dialog_title_tip</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>selectusb_title</source>
        <translation>Please select a USB drive.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>当前检测到的所有U盘：</source>
        <translation>USB drives found:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>选择U盘路径</source>
        <translation>Select a USB Drive</translation>
    </message>
</context>
<context>
    <name>SettingColorForm</name>
    <message>
        <source>颜色参数设置</source>
        <translation>Colour Parameters</translation>
    </message>
</context>
<context>
    <name>UpdateImageContract</name>
    <message>
        <source>action_btn_cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>action_btn_ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>updatecontract_btn_title</source>
        <translation>Adjust the contrast</translation>
    </message>
    <message>
        <source>updatecontract_lbl_title</source>
        <translation>Contrast:</translation>
    </message>
</context>
<context>
    <name>UpdateLedCountDialog</name>
    <message>
        <source>修改LED数量</source>
        <translation>Change the LED count</translation>
    </message>
    <message>
        <source>LED数量：</source>
        <translation>LED count:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>UpdateLineNumberDialog</name>
    <message>
        <source>修改分辨率</source>
        <translation>Change the resolution</translation>
    </message>
    <message>
        <source>分辨率：</source>
        <translation>Resolution:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ShowPlayer</name>
    <message>
        <source>show_length</source>
        <translation>Show length: %1</translation>
    </message>
    <message>
        <source>show_position</source>
        <translation>%1 / %2</translation>
    </message>
</context>
<context>
    <name>SamplingChoice</name>
    <message>
        <source>action_title_smooth_sampling</source>
        <translation>Smooth sampling</translation>
    </message>
    <message>
        <source>action_tip_smooth_sampling</source>
        <translation>Each LED shows the average colour of the area it covers, so fine detail does not shimmer. Applies to pictures added from now on.</translation>
    </message>
</context>
<context>
    <name>TransitionControls</name>
    <message>
        <source>transition_add</source>
        <translation>+ transition</translation>
    </message>
    <message>
        <source>transition_label</source>
        <translation>→ %1 %2 s</translation>
    </message>
    <message>
        <source>transition_none</source>
        <translation>No transition</translation>
    </message>
    <message>
        <source>transition_fade</source>
        <translation>Cross-fade</translation>
    </message>
    <message>
        <source>transition_clock</source>
        <translation>Clock wipe</translation>
    </message>
    <message>
        <source>transition_iris_in</source>
        <translation>Iris in</translation>
    </message>
    <message>
        <source>transition_iris_out</source>
        <translation>Iris out</translation>
    </message>
    <message>
        <source>transition_spin</source>
        <translation>Spin-in</translation>
    </message>
    <message>
        <source>transition_length</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>transition_seconds</source>
        <translation>%1 s</translation>
    </message>
</context>
<context>
    <name>FileMenu</name>
    <message>
        <source>menu_title_file</source>
        <translation>File</translation>
    </message>
    <message>
        <source>action_title_new_show</source>
        <translation>New</translation>
    </message>
    <message>
        <source>action_title_open_show</source>
        <translation>Open…</translation>
    </message>
    <message>
        <source>menu_title_open_recent</source>
        <translation>Open Recent</translation>
    </message>
    <message>
        <source>action_title_no_recent</source>
        <translation>No recent shows</translation>
    </message>
    <message>
        <source>action_title_save_show</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>action_title_save_show_as</source>
        <translation>Save As…</translation>
    </message>
    <message>
        <source>action_title_quit</source>
        <translation>Quit</translation>
    </message>
</context>
<context>
    <name>ShowSession</name>
    <message>
        <source>Untitled</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>dialog_text_show_unsaved</source>
        <translation>The show "%1" has changes that are not saved.</translation>
    </message>
    <message>
        <source>dialog_text_show_unsaved_question</source>
        <translation>Save them first?</translation>
    </message>
    <message>
        <source>dialog_title_open_show</source>
        <translation>Open Show</translation>
    </message>
    <message>
        <source>dialog_title_save_show</source>
        <translation>Save Show As</translation>
    </message>
    <message>
        <source>file_filter_show</source>
        <translation>Shows (*.hdshow)</translation>
    </message>
    <message>
        <source>dialog_text_show_geometry</source>
        <translation>This show was made for a display of %1 LEDs and %2 lines; the display is set to %3 LEDs and %4 lines.</translation>
    </message>
    <message>
        <source>dialog_text_show_geometry_question</source>
        <translation>Switch to the show's geometry? No converts the show for the current one.</translation>
    </message>
    <message>
        <source>dialog_text_opening_show</source>
        <translation>Opening %1 …</translation>
    </message>
    <message>
        <source>dialog_text_show_open_failed</source>
        <translation>The show could not be opened.
%1</translation>
    </message>
    <message>
        <source>dialog_text_show_opened_with_warnings</source>
        <translation>The show was opened, but:
%1</translation>
    </message>
    <message>
        <source>dialog_text_show_save_failed</source>
        <translation>The show could not be saved; the file is as it was.
%1</translation>
    </message>
    <message>
        <source>dialog_text_show_saved_with_warnings</source>
        <translation>The show was saved, but:
%1</translation>
    </message>
</context>
<context>
    <name>TextClipDialog</name>
    <message>
        <source>textclip_motion_ring</source>
        <translation>Around the rim, anticlockwise</translation>
    </message>
    <message>
        <source>textclip_motion_ring_cw</source>
        <translation>Around the rim, clockwise</translation>
    </message>
    <message>
        <source>textclip_motion_left</source>
        <translation>Slide left</translation>
    </message>
    <message>
        <source>textclip_motion_right</source>
        <translation>Slide right</translation>
    </message>
    <message>
        <source>textclip_motion_up</source>
        <translation>Slide up</translation>
    </message>
    <message>
        <source>textclip_motion_down</source>
        <translation>Slide down</translation>
    </message>
    <message>
        <source>textclip_motion_stand</source>
        <translation>Stand still</translation>
    </message>
    <message>
        <source>textclip_motion_blink</source>
        <translation>Blink</translation>
    </message>
    <message>
        <source>textclip_title</source>
        <translation>Moving text</translation>
    </message>
    <message>
        <source>textclip_lbl_text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>textclip_lbl_font</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>textclip_lbl_size</source>
        <translation>Size (pixels)</translation>
    </message>
    <message>
        <source>textclip_lbl_color</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>textclip_lbl_background</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>textclip_btn_picture</source>
        <translation>Picture…</translation>
    </message>
    <message>
        <source>textclip_btn_no_picture</source>
        <translation>No picture</translation>
    </message>
    <message>
        <source>textclip_font_default</source>
        <translation>Default (covers every script)</translation>
    </message>
    <message>
        <source>textclip_title_background</source>
        <translation>Background picture</translation>
    </message>
    <message>
        <source>textclip_filter_pictures</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>textclip_lbl_motion</source>
        <translation>Motion</translation>
    </message>
    <message>
        <source>textclip_lbl_speed</source>
        <translation>Speed (1–10)</translation>
    </message>
    <message>
        <source>textclip_lbl_seconds</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>textclip_unit_seconds</source>
        <translation> s</translation>
    </message>
    <message>
        <source>textclip_reason_empty</source>
        <translation>Type the text the clip shows.</translation>
    </message>
    <message>
        <source>textclip_reason_length</source>
        <translation>A text clip lasts from %1 to %2 seconds.</translation>
    </message>
    <message>
        <source>textclip_reason_picture</source>
        <translation>The background picture %1 is not there.</translation>
    </message>
    <message>
        <source>textclip_failed</source>
        <translation>The text clip could not be made: %1</translation>
    </message>
    <message>
        <source>textclip_making</source>
        <translation>Making the text clip…</translation>
    </message>
</context>
</TS>
